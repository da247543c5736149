// Data objects as MIME data and MIME data as data objects: the formats'
// MIME types, the conversion of their bytes both ways, and the clipboard's
// HTML header.
#include "platform/MimeBridge.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include "platform/ControlsPrivate.h"
#include "platform/SysUtils.h"
#include "platform/TextFile.h"

namespace {

enum TTextKind { tkNone, tkAnsi, tkUnicode, tkHtml, tkRtf };

TTextKind KindOf(TClipFormat Format)
{
    if (Format == CF_TEXT)
        return tkAnsi;
    if (Format == CF_UNICODETEXT)
        return tkUnicode;
    const String name = GetClipboardFormatName(Format);
    if (AnsiSameText(name, "HTML Format"))
        return tkHtml;
    if (AnsiSameText(name, "Rich Text Format"))
        return tkRtf;
    if (AnsiSameText(name, "CSV"))
        return tkAnsi;
    return tkNone;
}

// Text ends at its first zero, as the system's text formats do.
std::string UpToZero(const std::string& S)
{
    const std::size_t z = S.find('\0');
    return z == std::string::npos ? S : S.substr(0, z);
}

// Text the code page cannot hold is UTF-8 behind a byte-order mark, as in
// the program's files.
String AnsiToUtf8(const std::string& Bytes)
{
    const std::string text = UpToZero(Bytes);
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0)
        return text.substr(3);
    return Windows1252ToUtf8(text);
}

String UnicodeToUtf8(const std::string& Bytes)
{
    std::u16string u;
    u.reserve(Bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < Bytes.size(); i += 2) {
        const auto ch = char16_t(Byte(Bytes[i]) | (Byte(Bytes[i + 1]) << 8));
        if (ch == 0)
            break;
        u.push_back(ch);
    }
    return Utf16ToUtf8(u);
}

// Characters the code page has no byte for become question marks.
std::string Utf8ToAnsi(const String& Text)
{
    std::string out;
    std::string one;
    std::size_t i = 0;
    while (i < Text.size()) {
        std::size_t n = 1;
        const auto lead = Byte(Text[i]);
        if (lead >= 0xF0)
            n = 4;
        else if (lead >= 0xE0)
            n = 3;
        else if (lead >= 0xC0)
            n = 2;
        n = std::min(n, Text.size() - i);
        out += Utf8ToWindows1252(Text.substr(i, n), one) && one.size() == 1 ? one : std::string("?");
        i += n;
    }
    return out;
}

std::string Utf8ToUnicode(const String& Text)
{
    const std::u16string u = Utf8ToUtf16(Text);
    std::string out;
    out.reserve(u.size() * 2 + 2);
    for (char16_t ch : u) {
        out.push_back(char(ch & 0xFF));
        out.push_back(char(ch >> 8));
    }
    return out;
}

// The value of "Key:" at the start of a header line; false when absent.
bool HeaderNumber(const std::string& Header, const std::string& Key, long long& Value)
{
    std::size_t at = 0;
    while (at < Header.size()) {
        if (Header.compare(at, Key.size(), Key) == 0 && at + Key.size() < Header.size() &&
            Header[at + Key.size()] == ':') {
            std::size_t p = at + Key.size() + 1;
            const bool negative = p < Header.size() && Header[p] == '-';
            if (negative)
                ++p;
            long long v = 0;
            int digits = 0;
            while (p < Header.size() && Header[p] >= '0' && Header[p] <= '9' && digits < 12) {
                v = v * 10 + (Header[p] - '0');
                ++p;
                ++digits;
            }
            if (digits == 0)
                return false;
            Value = negative ? -v : v;
            return true;
        }
        const std::size_t eol = Header.find('\n', at);
        if (eol == std::string::npos)
            break;
        at = eol + 1;
    }
    return false;
}

bool Offers(const std::vector<TFormatEtc>& Offered, TClipFormat Format)
{
    return std::any_of(Offered.begin(), Offered.end(), [Format](const TFormatEtc& f) { return f.cfFormat == Format; });
}

// Each format once, in the object's order.
std::vector<TClipFormat> OfferedFormats(IDataObject& Source)
{
    std::vector<TClipFormat> ids;
    for (const TFormatEtc& f : Source.EnumFormatEtc())
        if (std::find(ids.begin(), ids.end(), f.cfFormat) == ids.end())
            ids.push_back(f.cfFormat);
    return ids;
}

// The MIME types of the formats in Ids, each with its format; text/plain also
// from Unicode text when there is no plain text.
std::vector<std::pair<QString, TClipFormat>> MimeTypesOf(const std::vector<TClipFormat>& Ids)
{
    std::vector<std::pair<QString, TClipFormat>> list;
    for (TClipFormat id : Ids)
        for (const String& m : ClipboardFormatMimeTypes(id))
            list.emplace_back(QString::fromStdString(m), id);
    const bool plain = std::find(Ids.begin(), Ids.end(), CF_TEXT) != Ids.end();
    const bool unicode = std::find(Ids.begin(), Ids.end(), CF_UNICODETEXT) != Ids.end();
    if (unicode && !plain)
        list.emplace_back(QStringLiteral("text/plain"), CF_UNICODETEXT);
    return list;
}

// Reads another program's data, while its MIME data exists.
class TMimeDataObject : public IDataObject {
public:
    explicit TMimeDataObject(const QMimeData* Data) : FData(const_cast<QMimeData*>(Data))
    {
        if (!Data)
            return;
        if (Data->hasText()) {
            Add(CF_UNICODETEXT, QString());
            Add(CF_TEXT, QString());
        }
        for (const QString& mime : Data->formats()) {
            const TClipFormat f = ClipboardFormatOfMimeType(mime.toStdString());
            if (f != 0 && f != CF_TEXT && f != CF_UNICODETEXT && !Offers(FFormats, f))
                Add(f, mime);
        }
    }

    std::vector<TFormatEtc> EnumFormatEtc() override { return FFormats; }
    HRESULT QueryGetData(const TFormatEtc& Format) override { return QueryOfferedFormat(FFormats, Format); }

    HRESULT GetData(const TFormatEtc& Format, TStream& Medium) override
    {
        const HRESULT q = QueryGetData(Format);
        if (q != S_OK)
            return q;
        if (!FData)
            return E_FAIL;
        QByteArray bytes;
        if (Format.cfFormat == CF_TEXT || Format.cfFormat == CF_UNICODETEXT) {
            if (!FData->hasText())
                return DV_E_FORMATETC;
            bytes = FData->text().toUtf8();
        } else {
            const QString mime = FMime[Format.cfFormat];
            if (!FData->hasFormat(mime))
                return DV_E_FORMATETC;
            bytes = FData->data(mime);
        }
        Medium.WriteBytes(IncomingBytes(Format.cfFormat, bytes));
        return S_OK;
    }

private:
    void Add(TClipFormat F, const QString& Mime)
    {
        TFormatEtc f;
        f.cfFormat = F;
        FFormats.push_back(f);
        FMime[F] = Mime;
    }

    QPointer<QMimeData> FData;
    std::vector<TFormatEtc> FFormats;
    std::map<TClipFormat, QString> FMime;
};

}  // namespace

// ---------------------------------------------------------------------------

bool HtmlOfClipboardHtml(const std::string& Data, std::string& Html)
{
    // The header is the part before the document's first tag.
    const std::string header = Data.substr(0, std::min(Data.find('<'), Data.size()));
    const auto size = static_cast<long long>(Data.size());
    auto slice = [&](const char* StartKey, const char* EndKey) {
        long long start = -1;
        long long end = -1;
        if (!HeaderNumber(header, StartKey, start) || !HeaderNumber(header, EndKey, end))
            return false;
        if (start < 0 || end < start || end > size)
            return false;
        Html = Data.substr(std::size_t(start), std::size_t(end - start));
        return true;
    };
    return slice("StartHTML", "EndHTML") || slice("StartFragment", "EndFragment");
}

std::string ClipboardHtmlOfHtml(const std::string& Html)
{
    // Four offsets of ten digits each keep the header's length fixed.
    auto header = [](long long A, long long B, long long C, long long D) {
        char buffer[160];
        std::snprintf(buffer, sizeof buffer,
            "Version:0.9\r\nStartHTML:%010lld\r\nEndHTML:%010lld\r\nStartFragment:%010lld\r\nEndFragment:%010lld\r\n",
            A, B, C, D);
        return std::string(buffer);
    };
    const auto headerSize = static_cast<long long>(header(0, 0, 0, 0).size());
    static const std::string startMark = "<!--StartFragment-->";
    static const std::string endMark = "<!--EndFragment-->";
    long long fragmentStart = 0;
    auto fragmentEnd = static_cast<long long>(Html.size());
    const std::size_t s = Html.find(startMark);
    const std::size_t e = s == std::string::npos ? s : Html.find(endMark, s + startMark.size());
    if (e != std::string::npos) {
        fragmentStart = static_cast<long long>(s + startMark.size());
        fragmentEnd = static_cast<long long>(e);
    }
    return header(headerSize, headerSize + static_cast<long long>(Html.size()), headerSize + fragmentStart,
               headerSize + fragmentEnd) +
           Html;
}

QByteArray OutgoingBytes(TClipFormat Format, const std::string& Rendered)
{
    std::string out;
    switch (KindOf(Format)) {
    case tkAnsi: out = AnsiToUtf8(Rendered); break;
    case tkUnicode: out = UnicodeToUtf8(Rendered); break;
    case tkRtf: out = UpToZero(Rendered); break;
    case tkHtml:
        if (!HtmlOfClipboardHtml(Rendered, out))
            out.clear();
        break;
    case tkNone: out = Rendered; break;
    }
    return QByteArray(out.data(), qsizetype(out.size()));
}

std::string IncomingBytes(TClipFormat Format, const QByteArray& Data)
{
    const std::string bytes(Data.constData(), std::size_t(Data.size()));
    switch (KindOf(Format)) {
    case tkAnsi: return Utf8ToAnsi(UpToZero(bytes)) + '\0';
    case tkUnicode: return Utf8ToUnicode(UpToZero(bytes)) + std::string(2, '\0');
    case tkRtf: return UpToZero(bytes) + '\0';
    case tkHtml: return ClipboardHtmlOfHtml(UpToZero(bytes)) + '\0';
    case tkNone: break;
    }
    return bytes;
}

// ---------------------------------------------------------------------------

TMimeBridge::TMimeBridge(IDataObjectPtr ASource) : Source(std::move(ASource)) {}

TMimeBridge::~TMimeBridge() = default;

QStringList TMimeBridge::formats() const
{
    QStringList list;
    if (!Source)
        return list;
    try {
        for (const auto& [mime, id] : MimeTypesOf(OfferedFormats(*Source)))
            if (!list.contains(mime))
                list << mime;
    } catch (...) {
        HandleCurrentException(nullptr);
    }
    return list;
}

bool TMimeBridge::hasFormat(const QString& MimeType) const { return formats().contains(MimeType); }

QVariant TMimeBridge::retrieveData(const QString& MimeType, QMetaType) const
{
    if (!Source)
        return {};
    try {
        for (const auto& [mime, id] : MimeTypesOf(OfferedFormats(*Source)))
            if (mime == MimeType) {
                std::string raw;
                if (!GetDataBytes(*Source, id, raw))
                    return {};
                return OutgoingBytes(id, raw);
            }
    } catch (...) {
        HandleCurrentException(nullptr);
    }
    return {};
}

IDataObjectPtr DataObjectOfMimeData(const QMimeData* Data)
{
    if (auto* bridge = dynamic_cast<const TMimeBridge*>(Data); bridge && bridge->Source)
        return bridge->Source;
    return std::make_shared<TMimeDataObject>(Data);
}

QMimeData* RenderedMimeData(IDataObject& Source)
{
    auto* copy = new QMimeData;
    try {
        const std::vector<TClipFormat> ids = OfferedFormats(Source);
        std::map<TClipFormat, QByteArray> rendered;
        for (TClipFormat id : ids) {
            std::string raw;
            try {
                if (GetDataBytes(Source, id, raw))
                    rendered[id] = OutgoingBytes(id, raw);
            } catch (...) {
                HandleCurrentException(nullptr);
            }
        }
        for (const auto& [mime, id] : MimeTypesOf(ids))
            if (auto it = rendered.find(id); it != rendered.end())
                copy->setData(mime, it->second);
    } catch (...) {
        HandleCurrentException(nullptr);
    }
    return copy;
}
