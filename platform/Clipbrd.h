#pragma once
// The system clipboard: plain text, and data objects that offer several
// formats and render each one only when a reader asks for it.
//
// Formats are numbered as the class library numbers them: the standard
// formats 1 - 16, names the program registers from 0xC000 up (the same name
// in any case gives the same number). Other programs see each format under a
// MIME type:
//
//   CF_TEXT            text/plain                  Windows-1252 in the object, or
//                                                  UTF-8 behind a byte-order mark
//   CF_UNICODETEXT     text/plain;charset=utf-8    UTF-16 in the object
//   "HTML Format"      text/html                   the part from StartHTML to EndHTML
//   "Rich Text Format" text/rtf, application/rtf
//   "CSV"              text/csv                    Windows-1252 in the object
//   other names        the MIME type given at registration, else
//                      application/x-vek- and the name in lower case with
//                      blanks as hyphens
//
// Text goes out as UTF-8 without the terminating zero the object writes. A
// data object that offers only CF_UNICODETEXT also serves text/plain, which
// is what most programs ask for. Other standard formats have no MIME type and
// stay inside the program.
//
// Data read from another program comes the other way: text as CF_TEXT and
// CF_UNICODETEXT, each with its terminating zero, HTML wrapped in the
// clipboard's HTML header, and any MIME type that names a registered format.
//
// All of this runs on the GUI thread, with the toolkit up.
#include <memory>
#include <vector>

#include "platform/Streams.h"
#include "platform/Types.h"

// Places Text on the clipboard; false when there is no clipboard to reach
// (no display, or the toolkit is not up).
bool SetClipboardText(const String& Text);
// The clipboard's text; empty when it holds none.
String GetClipboardText();

// The clipboard as another program reads it: the MIME types it offers, and
// the bytes of one (false when it offers none under that type).
std::vector<String> ClipboardMimeTypes();
bool GetClipboardMimeData(const String& MimeType, std::string& Bytes);

// ---------------------------------------------------------------------------
// Formats.

using TClipFormat = Word;

constexpr TClipFormat CF_TEXT = 1;
constexpr TClipFormat CF_UNICODETEXT = 13;
constexpr TClipFormat CF_MAX_STANDARD = 16;

// Fields of a format descriptor.
constexpr Cardinal DVASPECT_CONTENT = 1;
constexpr Cardinal TYMED_HGLOBAL = 1;

struct TFormatEtc {
    TClipFormat cfFormat = 0;
    void* ptd = nullptr;  // target device
    Cardinal dwAspect = DVASPECT_CONTENT;
    int lindex = -1;
    Cardinal tymed = TYMED_HGLOBAL;
};

// The id of Name, registered on first use; 0 for an empty name or when no
// id is left. Names longer than the registry keeps are cut to
// MaxClipboardFormatName characters. With MimeType the format travels under
// that type (the first registration that gives one decides).
constexpr int MaxClipboardFormatName = 2048;
TClipFormat RegisterClipboardFormat(const String& Name);
TClipFormat RegisterClipboardFormat(const String& Name, const String& MimeType);
// The name of a registered id ("" for a standard or unknown one).
String GetClipboardFormatName(TClipFormat Format);
// The MIME types Format travels under, the preferred one first; none for
// the standard formats other programs cannot read.
std::vector<String> ClipboardFormatMimeTypes(TClipFormat Format);
// The format a MIME type stands for; 0 when none.
TClipFormat ClipboardFormatOfMimeType(const String& MimeType);

// ---------------------------------------------------------------------------
// Results of the data-transfer calls.

using HRESULT = LongInt;
constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001u);
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);
constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
constexpr HRESULT DV_E_FORMATETC = static_cast<HRESULT>(0x80040064u);
constexpr HRESULT DV_E_LINDEX = static_cast<HRESULT>(0x80040068u);
constexpr HRESULT DV_E_TYMED = static_cast<HRESULT>(0x80040069u);
constexpr HRESULT DV_E_DVASPECT = static_cast<HRESULT>(0x8004006Bu);
constexpr HRESULT CLIPBRD_E_CANT_OPEN = static_cast<HRESULT>(0x800401D0u);

constexpr bool Succeeded(HRESULT R) { return R >= 0; }
constexpr bool Failed(HRESULT R) { return R < 0; }

// ---------------------------------------------------------------------------
// Data objects.

// What the clipboard and drag and drop carry: a set of formats, each
// rendered when asked. Shared: the clipboard keeps its object until another
// owner takes the clipboard over, then lets go of it.
class IDataObject {
public:
    virtual ~IDataObject() = default;

    // The formats offered, the preferred first.
    virtual std::vector<TFormatEtc> EnumFormatEtc() = 0;
    // S_OK when GetData can render Format; else why not (DV_E_FORMATETC,
    // DV_E_TYMED, DV_E_DVASPECT, DV_E_LINDEX).
    virtual HRESULT QueryGetData(const TFormatEtc& Format) = 0;
    // Writes the data of Format to Medium from its position.
    virtual HRESULT GetData(const TFormatEtc& Format, TStream& Medium) = 0;
    // The clipboard is about to copy every format, so that the data outlives
    // the object (OleFlushClipboard, or the program ending), and lets go of
    // the object afterwards.
    virtual void Flushing() {}
};
using IDataObjectPtr = std::shared_ptr<IDataObject>;

// Makes DataObject the clipboard's contents; other programs read it through
// the MIME types above. Null empties the clipboard when it holds ours.
// CLIPBRD_E_CANT_OPEN without a clipboard.
HRESULT OleSetClipboard(const IDataObjectPtr& DataObject);
// The clipboard's contents as a data object: ours as we set it, another
// program's read through the MIME types above. CLIPBRD_E_CANT_OPEN without
// a clipboard.
HRESULT OleGetClipboard(IDataObjectPtr& DataObject);
// S_OK while DataObject is the clipboard's contents, else S_FALSE.
HRESULT OleIsCurrentClipboard(const IDataObjectPtr& DataObject);
// Renders every format of our data object once, leaves the copy on the
// clipboard and lets go of the object. S_OK also when we hold nothing.
HRESULT OleFlushClipboard();

// The answer of QueryGetData for an object offering Offered: the first
// offered format with Format's id decides; success when the medium types
// overlap and aspect and index agree, else the error of the first mismatch.
HRESULT QueryOfferedFormat(const std::vector<TFormatEtc>& Offered, const TFormatEtc& Format);

// The bytes Format of DataObject renders; false when it renders nothing.
bool GetDataBytes(IDataObject& DataObject, TClipFormat Format, std::string& Bytes);

// The clipboard's HTML ("HTML Format"): a header of "Key:Value" lines with
// byte offsets, then the document. The part from StartHTML to EndHTML (or
// the fragment, when the header gives no document); false when the header
// is missing or its offsets do not fit the data.
bool HtmlOfClipboardHtml(const std::string& Data, std::string& Html);
// Html with the header in front (its fragment: between the fragment
// comments when it has them, else all of it).
std::string ClipboardHtmlOfHtml(const std::string& Html);
