// The change-file XML reader.
#include "document/XMLTree.h"

#include <cstring>

#include "platform/SysUtils.h"
#include "platform/TextFile.h"

namespace {

bool IsBlank(char C) { return C == ' ' || C == '\t' || C == '\r' || C == '\n'; }

String TrimBlanks(const String& Text)
{
    std::size_t b = 0, e = Text.size();
    while (b < e && IsBlank(Text[b]))
        ++b;
    while (e > b && IsBlank(Text[e - 1]))
        --e;
    return Text.substr(b, e - b);
}

// Line breaks and tabs as blanks, then trimmed.
String Blanked(const String& Text)
{
    String out;
    out.reserve(Text.size());
    for (std::size_t i = 0; i < Text.size(); ++i) {
        if (Text[i] == '\r' && i + 1 < Text.size() && Text[i + 1] == '\n') {
            out += ' ';
            ++i;
        } else if (Text[i] == '\t' || Text[i] == '\r' || Text[i] == '\n') {
            out += ' ';
        } else {
            out += Text[i];
        }
    }
    return TrimBlanks(out);
}

// Character data keeps its line breaks and tabs visible on its token line.
String EscapedCData(const String& Text)
{
    String out;
    out.reserve(Text.size());
    for (std::size_t i = 0; i < Text.size(); ++i) {
        if (Text[i] == '\r' && i + 1 < Text.size() && Text[i + 1] == '\n') {
            out += "\\n ";
            ++i;
        } else if (Text[i] == '\t') {
            out += "\\t ";
        } else {
            out += Text[i];
        }
    }
    return out;
}

bool StartsWithNoCase(const String& Text, std::size_t Pos, const char* Prefix)
{
    const std::size_t n = std::strlen(Prefix);
    if (Text.size() - Pos < n || Pos > Text.size())
        return false;
    for (std::size_t i = 0; i < n; ++i) {
        char a = Text[Pos + i], b = Prefix[i];
        if (a >= 'a' && a <= 'z')
            a = char(a - 'a' + 'A');
        if (b >= 'a' && b <= 'z')
            b = char(b - 'a' + 'A');
        if (a != b)
            return false;
    }
    return true;
}

void AppendUtf8(String& Out, std::uint32_t C)
{
    if (C < 0x80) {
        Out += char(C);
    } else if (C < 0x800) {
        Out += char(0xC0 | (C >> 6));
        Out += char(0x80 | (C & 0x3F));
    } else if (C < 0x10000) {
        Out += char(0xE0 | (C >> 12));
        Out += char(0x80 | ((C >> 6) & 0x3F));
        Out += char(0x80 | (C & 0x3F));
    } else {
        Out += char(0xF0 | (C >> 18));
        Out += char(0x80 | ((C >> 12) & 0x3F));
        Out += char(0x80 | ((C >> 6) & 0x3F));
        Out += char(0x80 | (C & 0x3F));
    }
}

// A character XML allows in a document.
bool IsXMLChar(std::uint32_t C)
{
    return C == 0x9 || C == 0xA || C == 0xD || (C >= 0x20 && C <= 0xD7FF) || (C >= 0xE000 && C <= 0xFFFD) ||
           (C >= 0x10000 && C <= 0x10FFFF);
}

// The character of a reference's body (between "&" and ";"); false when it
// names nothing.
bool ReferenceChar(const String& Body, std::uint32_t& C)
{
    static const struct {
        const char* Name;
        char Char;
    } named[] = {{"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}};
    for (const auto& n : named)
        if (Body == n.Name) {
            C = std::uint32_t(Byte(n.Char));
            return true;
        }
    if (Body.size() < 2 || Body[0] != '#')
        return false;
    const bool hex = Body[1] == 'x';
    const std::size_t first = hex ? 2 : 1;
    if (first >= Body.size())
        return false;
    std::uint32_t value = 0;
    for (std::size_t i = first; i < Body.size(); ++i) {
        const char d = Body[i];
        int digit;
        if (d >= '0' && d <= '9')
            digit = d - '0';
        else if (hex && d >= 'a' && d <= 'f')
            digit = d - 'a' + 10;
        else if (hex && d >= 'A' && d <= 'F')
            digit = d - 'A' + 10;
        else
            return false;
        value = value * (hex ? 16 : 10) + std::uint32_t(digit);
        if (value > 0x10FFFF)
            return false;
    }
    if (!IsXMLChar(value))
        return false;
    C = value;
    return true;
}

bool IsValidUtf8(const std::string& Bytes, bool& NonAscii)
{
    NonAscii = false;
    std::size_t i = 0;
    while (i < Bytes.size()) {
        const Byte b = Byte(Bytes[i]);
        if (b < 0x80) {
            ++i;
            continue;
        }
        NonAscii = true;
        int extra;
        std::uint32_t c;
        if (b >= 0xC2 && b <= 0xDF)
            extra = 1, c = b & 0x1F;
        else if (b >= 0xE0 && b <= 0xEF)
            extra = 2, c = b & 0x0F;
        else if (b >= 0xF0 && b <= 0xF4)
            extra = 3, c = b & 0x07;
        else
            return false;
        if (Bytes.size() - i <= std::size_t(extra))
            return false;
        for (int k = 1; k <= extra; ++k) {
            const Byte t = Byte(Bytes[i + std::size_t(k)]);
            if ((t & 0xC0) != 0x80)
                return false;
            c = (c << 6) | (t & 0x3F);
        }
        if ((extra == 2 && (c < 0x800 || (c >= 0xD800 && c <= 0xDFFF))) || (extra == 3 && (c < 0x10000 || c > 0x10FFFF)))
            return false;
        i += std::size_t(extra) + 1;
    }
    return true;
}

// The encoding named in the XML declaration at the start, lower case;
// empty when there is none.
String DeclaredEncoding(const std::string& Bytes)
{
    std::size_t p = 0;
    while (p < Bytes.size() && IsBlank(Bytes[p]))
        ++p;
    if (Bytes.compare(p, 5, "<?xml") != 0)
        return String();
    const std::size_t end = Bytes.find("?>", p);
    if (end == std::string::npos || end - p > 1024)
        return String();
    const String decl = Bytes.substr(p, end - p);
    const std::size_t key = decl.find("encoding");
    if (key == String::npos)
        return String();
    std::size_t q = decl.find_first_of("\"'", key);
    if (q == String::npos)
        return String();
    const std::size_t q2 = decl.find(decl[q], q + 1);
    if (q2 == String::npos)
        return String();
    String name = decl.substr(q + 1, q2 - q - 1);
    for (char& c : name)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return TrimBlanks(name);
}

String Utf8Sanitized(const std::string& Bytes) { return DecodeText("\xEF\xBB\xBF" + Bytes); }

}  // namespace

String DecodeXMLEntities(const String& Text)
{
    if (Text.find('&') == String::npos)
        return Text;
    String out;
    out.reserve(Text.size());
    std::size_t i = 0;
    while (i < Text.size()) {
        if (Text[i] != '&') {
            out += Text[i++];
            continue;
        }
        // The longest reference is "&#x10FFFF;" or "&#1114111;"; leading
        // zeros make longer ones possible but nobody writes those.
        const std::size_t semi = Text.find(';', i + 1);
        std::uint32_t c = 0;
        if (semi != String::npos && semi - i <= 32 && ReferenceChar(Text.substr(i + 1, semi - i - 1), c)) {
            AppendUtf8(out, c);
            i = semi + 1;
        } else {
            out += '&';
            ++i;
        }
    }
    return out;
}

String DecodeXMLBytes(const std::string& Bytes)
{
    const auto starts = [&](const char* Mark, std::size_t N) { return Bytes.size() >= N && Bytes.compare(0, N, Mark) == 0; };
    if (starts("\xEF\xBB\xBF", 3) || starts("\xFF\xFE", 2) || starts("\xFE\xFF", 2))
        return DecodeText(Bytes);
    const String declared = DeclaredEncoding(Bytes);
    if (declared == "utf-8" || declared == "utf8")
        return Utf8Sanitized(Bytes);
    if (declared == "windows-1252" || declared == "cp1252" || declared == "iso-8859-1" || declared == "latin1" ||
        declared == "iso-8859-15" || declared == "latin-1" || declared == "us-ascii" || declared == "ascii")
        return Windows1252ToUtf8(Bytes);
    bool nonAscii = false;
    if (IsValidUtf8(Bytes, nonAscii))
        return nonAscii ? Utf8Sanitized(Bytes) : Bytes;
    return Windows1252ToUtf8(Bytes);
}

// ---- TXMLNode ---------------------------------------------------------------------

TXMLNode* TXMLNode::findNamedNode(const String& Name) const
{
    for (const auto& child : FNodes) {
        if (child->FName == Name)
            return child.get();
        if (TXMLNode* found = child->findNamedNode(Name))
            return found;
    }
    return nullptr;
}

TXMLAttribute* TXMLNode::getNamedAttribute(const String& Name) const
{
    for (const auto& a : FAttributes)
        if (a->FName == Name)
            return a.get();
    return nullptr;
}

TXMLNode* TXMLNode::AddNodeEx(const String& Name)
{
    FNodes.push_back(std::make_unique<TXMLNode>(Name, this));
    return FNodes.back().get();
}

TXMLAttribute* TXMLNode::AddAttribute(const String& Name, const String& Value)
{
    FAttributes.push_back(std::make_unique<TXMLAttribute>(Name, Value));
    return FAttributes.back().get();
}

TXMLNode* TXMLNode::Node(int I) const
{
    return I >= 0 && I < NodeCount() ? FNodes[std::size_t(I)].get() : nullptr;
}

// ---- TXMLTree ---------------------------------------------------------------------

void TXMLTree::Clear()
{
    FNodes.clear();
    FAttributes.clear();
    FValue.clear();
    FValueType = xvtString;
    FLines.clear();
    FError.clear();
}

bool TXMLTree::LoadFromStream(TStream& Stream)
{
    Clear();
    std::string bytes;
    try {
        const Int64 remaining = Stream.Remaining();
        if (remaining < 0 || UInt64(remaining) > FMaxBytes) {
            FError = "file too large";
            return false;
        }
        bytes = Stream.ReadBytes(remaining);
    } catch (const std::exception& e) {
        FError = e.what();
        return false;
    }
    return LoadFromBytes(bytes);
}

namespace {

// Tag content "name rest": the name up to the first blank.
void SplitTag(const String& Content, String& Name, String& Rest)
{
    const std::size_t blank = Content.find(' ');
    Name = blank == String::npos ? Content : Content.substr(0, blank);
    Rest = blank == String::npos ? String() : Content.substr(blank + 1);
}

}  // namespace

bool TXMLTree::LoadFromBytes(const std::string& Bytes)
{
    Clear();
    if (Bytes.size() > FMaxBytes) {
        FError = "file too large";
        return false;
    }
    // The text as CR LF lines.
    std::vector<String> lines;
    SplitLines(DecodeXMLBytes(Bytes), lines);
    String text;
    text.reserve(Bytes.size() + lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0)
            text += "\r\n";
        text += lines[i];
    }
    lines.clear();

    // Token lines, and the text of each character data section in order.
    std::vector<String> cdata;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t lt = text.find('<', pos);
        const String between = Blanked(text.substr(pos, lt == String::npos ? String::npos : lt - pos));
        if (!between.empty())
            FLines.push_back("TX:" + between);
        if (lt == String::npos)
            break;
        if (StartsWithNoCase(text, lt, "<![CDATA[")) {
            const std::size_t end = text.find("]]>", lt + 9);
            // Unterminated: the rest, and whatever element holds it stays open.
            const String content = text.substr(lt + 9, end == String::npos ? String::npos : end - lt - 9);
            FLines.push_back("CD:" + EscapedCData(content));
            // The escapes are the token line's only: the value is the text.
            cdata.push_back(Blanked(content));
            pos = end == String::npos ? text.size() : end + 3;
            continue;
        }
        if (text.compare(lt, 4, "<!--") == 0) {
            const std::size_t end = text.find("-->", lt + 4);
            pos = end == String::npos ? text.size() : end + 3;
            continue;
        }
        const std::size_t gt = text.find('>', lt + 1);
        if (gt == String::npos)
            break;  // a tag cut off at the end is no tag
        const String content = Blanked(text.substr(lt + 1, gt - lt - 1));
        pos = gt + 1;
        if (content.empty())
            continue;
        if (content[0] == '/')
            FLines.push_back("CT:" + TrimBlanks(content.substr(1)));
        else if (content.back() == '/' || content.back() == '?' || content[0] == '!' || content[0] == '?')
            FLines.push_back("ET:" + content);
        else
            FLines.push_back("OT:" + content);
    }
    text.clear();

    // The tree.
    TXMLNode* current = this;
    std::size_t cdataIndex = 0;
    int depth = 0;
    int items = 0;
    const auto fail = [this](const char* Why) {
        FNodes.clear();
        FAttributes.clear();
        FValue.clear();
        FError = Why;
        return false;
    };
    const auto addElement = [&](const String& Content, bool Empty) -> TXMLNode* {
        String name, rest;
        SplitTag(Content, name, rest);
        TXMLNode* node = current->AddNodeEx(name);
        ++items;
        std::size_t p = 0;
        while (p < rest.size()) {
            const std::size_t eq = rest.find('=', p);
            if (eq == String::npos)
                break;
            const std::size_t q1 = rest.find_first_of("\"'", eq + 1);
            if (q1 == String::npos)
                break;
            const std::size_t q2 = rest.find(rest[q1], q1 + 1);
            if (q2 == String::npos)
                break;
            const String attrName = TrimBlanks(rest.substr(p, eq - p));
            if (!attrName.empty()) {
                node->AddAttribute(attrName, DecodeXMLEntities(rest.substr(q1 + 1, q2 - q1 - 1)));
                ++items;
            }
            p = q2 + 1;
        }
        node->FClosed = Empty;
        return node;
    };
    for (const String& line : FLines) {
        if (items > FMaxNodes)
            return fail("too many elements");
        const String kind = line.substr(0, 3);
        const String body = line.substr(3);
        if (kind == "OT:") {
            if (depth >= FMaxDepth)
                return fail("elements nested too deeply");
            current = addElement(body, false);
            ++depth;
        } else if (kind == "ET:") {
            addElement(body, true);
        } else if (kind == "CT:") {
            String name, rest;
            SplitTag(body, name, rest);
            // The innermost open element of that name closes, with any left
            // open inside it; a closing tag that matches none is surplus.
            TXMLNode* match = current;
            int up = 0;
            while (match != this && match->FName != name) {
                match = match->FParentNode;
                ++up;
            }
            if (match != this) {
                match->FClosed = true;
                current = match->FParentNode;
                depth -= up + 1;
            }
        } else if (kind == "TX:") {
            current->FValue = DecodeXMLEntities(body);
            current->FValueType = xvtString;
        } else if (kind == "CD:") {
            current->FValue = cdataIndex < cdata.size() ? cdata[cdataIndex] : String();
            ++cdataIndex;
            current->FValueType = xvtCDATA;
        }
    }
    if (items > FMaxNodes)
        return fail("too many elements");
    return true;
}
