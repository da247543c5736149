// The clipboard: text, the registry of format names with their MIME types,
// and the data object that is the clipboard's contents.
#include "platform/Clipbrd.h"

#include <map>
#include <mutex>

#include <QClipboard>
#include <QGuiApplication>

#include "platform/MimeBridge.h"
#include "platform/SysUtils.h"

namespace {

QClipboard* SystemClipboard()
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return nullptr;
    return QGuiApplication::clipboard();
}

}  // namespace

bool SetClipboardText(const String& Text)
{
    QClipboard* clipboard = SystemClipboard();
    if (!clipboard)
        return false;
    clipboard->setText(QString::fromStdString(Text));
    return true;
}

String GetClipboardText()
{
    QClipboard* clipboard = SystemClipboard();
    return clipboard ? clipboard->text().toStdString() : String();
}

std::vector<String> ClipboardMimeTypes()
{
    std::vector<String> types;
    QClipboard* clipboard = SystemClipboard();
    if (const QMimeData* data = clipboard ? clipboard->mimeData() : nullptr)
        for (const QString& type : data->formats())
            types.push_back(type.toStdString());
    return types;
}

bool GetClipboardMimeData(const String& MimeType, std::string& Bytes)
{
    Bytes.clear();
    QClipboard* clipboard = SystemClipboard();
    const QMimeData* data = clipboard ? clipboard->mimeData() : nullptr;
    const QString type = QString::fromStdString(MimeType);
    if (!data || !data->hasFormat(type))
        return false;
    const QByteArray bytes = data->data(type);
    Bytes.assign(bytes.constData(), std::size_t(bytes.size()));
    return true;
}

// ---------------------------------------------------------------------------
// Format names.

namespace {

constexpr TClipFormat FirstRegisteredFormat = 0xC000;

struct TFormatRegistry {
    std::mutex Lock;
    std::vector<String> Names;                   // id FirstRegisteredFormat + index
    std::vector<String> MimeTypes;               // the same index; "" = the made-up one
    std::map<String, TClipFormat> ByFoldedName;  // upper-cased name -> id
};

TFormatRegistry& Registry()
{
    static TFormatRegistry registry;
    return registry;
}

// The names other programs know under their own MIME types.
struct TKnownFormat {
    const char* Name;
    std::vector<String> MimeTypes;
};

const std::vector<TKnownFormat>& KnownFormats()
{
    static const std::vector<TKnownFormat> known = {
        {"HTML Format", {"text/html"}},
        {"Rich Text Format", {"text/rtf", "application/rtf"}},
        {"CSV", {"text/csv"}},
    };
    return known;
}

// application/x-vek- and the name in lower case, blanks and whatever a MIME
// type may not hold as hyphens.
String MadeUpMimeType(const String& Name)
{
    String mime = "application/x-vek-";
    for (char c : Name) {
        if (c >= 'A' && c <= 'Z')
            mime += char(c - 'A' + 'a');
        else if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' || c == '+' || c == '_' || c == '-')
            mime += c;
        else
            mime += '-';
    }
    return mime;
}

}  // namespace

TClipFormat RegisterClipboardFormat(const String& Name, const String& MimeType)
{
    if (Name.empty())
        return 0;
    const String name = Length(Name) > MaxClipboardFormatName ? Copy(Name, 1, MaxClipboardFormatName) : Name;
    const String key = AnsiUpperCase(name);
    TFormatRegistry& r = Registry();
    const std::lock_guard<std::mutex> guard(r.Lock);
    const auto found = r.ByFoldedName.find(key);
    if (found != r.ByFoldedName.end()) {
        String& mime = r.MimeTypes[found->second - FirstRegisteredFormat];
        if (mime.empty())
            mime = MimeType;
        return found->second;
    }
    if (r.Names.size() > std::size_t(0xFFFF - FirstRegisteredFormat))
        return 0;
    const auto id = TClipFormat(FirstRegisteredFormat + r.Names.size());
    r.Names.push_back(name);
    r.MimeTypes.push_back(MimeType);
    r.ByFoldedName.emplace(key, id);
    return id;
}

TClipFormat RegisterClipboardFormat(const String& Name) { return RegisterClipboardFormat(Name, String()); }

String GetClipboardFormatName(TClipFormat Format)
{
    if (Format < FirstRegisteredFormat)
        return String();
    TFormatRegistry& r = Registry();
    const std::lock_guard<std::mutex> guard(r.Lock);
    const std::size_t i = Format - FirstRegisteredFormat;
    return i < r.Names.size() ? r.Names[i] : String();
}

std::vector<String> ClipboardFormatMimeTypes(TClipFormat Format)
{
    if (Format == CF_TEXT)
        return {"text/plain"};
    if (Format == CF_UNICODETEXT)
        return {"text/plain;charset=utf-8"};
    if (Format < FirstRegisteredFormat)
        return {};
    String name;
    String mime;
    {
        TFormatRegistry& r = Registry();
        const std::lock_guard<std::mutex> guard(r.Lock);
        const std::size_t i = Format - FirstRegisteredFormat;
        if (i >= r.Names.size())
            return {};
        name = r.Names[i];
        mime = r.MimeTypes[i];
    }
    for (const TKnownFormat& k : KnownFormats())
        if (AnsiSameText(name, k.Name))
            return k.MimeTypes;
    return {mime.empty() ? MadeUpMimeType(name) : mime};
}

TClipFormat ClipboardFormatOfMimeType(const String& MimeType)
{
    const String mime = AnsiLowerCase(MimeType);
    if (mime == "text/plain")
        return CF_TEXT;
    if (mime == "text/plain;charset=utf-8")
        return CF_UNICODETEXT;
    for (const TKnownFormat& k : KnownFormats())
        for (const String& m : k.MimeTypes)
            if (m == mime)
                return RegisterClipboardFormat(k.Name);
    TFormatRegistry& r = Registry();
    const std::lock_guard<std::mutex> guard(r.Lock);
    for (std::size_t i = 0; i < r.Names.size(); ++i) {
        const String own = r.MimeTypes[i].empty() ? MadeUpMimeType(r.Names[i]) : AnsiLowerCase(r.MimeTypes[i]);
        if (own == mime)
            return TClipFormat(FirstRegisteredFormat + i);
    }
    return 0;
}

HRESULT QueryOfferedFormat(const std::vector<TFormatEtc>& Offered, const TFormatEtc& Format)
{
    for (const TFormatEtc& f : Offered) {
        if (f.cfFormat != Format.cfFormat)
            continue;
        if ((f.tymed & Format.tymed) == 0)
            return DV_E_TYMED;
        if (f.dwAspect != Format.dwAspect)
            return DV_E_DVASPECT;
        if (f.lindex != Format.lindex)
            return DV_E_LINDEX;
        return S_OK;
    }
    return DV_E_FORMATETC;
}

bool GetDataBytes(IDataObject& DataObject, TClipFormat Format, std::string& Bytes)
{
    TFormatEtc f;
    f.cfFormat = Format;
    if (DataObject.QueryGetData(f) != S_OK)
        return false;
    TMemoryStream medium;
    if (Failed(DataObject.GetData(f, medium)))
        return false;
    Bytes = medium.DataString();
    return true;
}

// ---------------------------------------------------------------------------
// The clipboard's data object.

namespace {

// Our bridge while it is the clipboard's contents.
QPointer<TMimeBridge>& Owned()
{
    static QPointer<TMimeBridge> owned;
    return owned;
}

// Lets go of our object as soon as the clipboard holds something else: set
// by this program (text, another object) or taken by another program.
void WatchOwnership(QClipboard* Clipboard)
{
    static QPointer<QClipboard> watched;
    if (watched == Clipboard)
        return;
    watched = Clipboard;
    QObject::connect(Clipboard, &QClipboard::dataChanged, Clipboard, [Clipboard] {
        QPointer<TMimeBridge>& owned = Owned();
        if (owned && Clipboard->mimeData() != owned.data()) {
            owned->Source.reset();
            owned = nullptr;
        }
    });
}

TMimeBridge* CurrentBridge(QClipboard* Clipboard)
{
    TMimeBridge* b = Owned().data();
    if (b && Clipboard->mimeData() == b && b->Source)
        return b;
    return nullptr;
}

}  // namespace

HRESULT OleSetClipboard(const IDataObjectPtr& DataObject)
{
    QClipboard* clipboard = SystemClipboard();
    if (!clipboard)
        return CLIPBRD_E_CANT_OPEN;
    WatchOwnership(clipboard);
    if (!DataObject) {
        if (CurrentBridge(clipboard))
            clipboard->clear();
        return S_OK;
    }
    auto* bridge = new TMimeBridge(DataObject);
    // The clipboard takes the bridge; the old one's object is let go on the
    // change this makes.
    clipboard->setMimeData(bridge);
    Owned() = bridge;
    return S_OK;
}

HRESULT OleGetClipboard(IDataObjectPtr& DataObject)
{
    DataObject.reset();
    QClipboard* clipboard = SystemClipboard();
    if (!clipboard)
        return CLIPBRD_E_CANT_OPEN;
    if (TMimeBridge* b = CurrentBridge(clipboard))
        DataObject = b->Source;
    else
        DataObject = DataObjectOfMimeData(clipboard->mimeData());
    return S_OK;
}

HRESULT OleIsCurrentClipboard(const IDataObjectPtr& DataObject)
{
    QClipboard* clipboard = SystemClipboard();
    if (!clipboard || !DataObject)
        return S_FALSE;
    TMimeBridge* b = CurrentBridge(clipboard);
    return b && b->Source == DataObject ? S_OK : S_FALSE;
}

HRESULT OleFlushClipboard()
{
    QClipboard* clipboard = SystemClipboard();
    if (!clipboard)
        return CLIPBRD_E_CANT_OPEN;
    TMimeBridge* b = CurrentBridge(clipboard);
    if (!b)
        return S_OK;
    const IDataObjectPtr source = b->Source;
    source->Flushing();
    clipboard->setMimeData(RenderedMimeData(*source));
    return S_OK;
}
