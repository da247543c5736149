// Reads what the printing tests check in a PDF file: pages, media boxes,
// embedded fonts and the text through the fonts' ToUnicode maps.
#include "tests/support/PdfReader.h"

#include <zlib.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>

namespace {

struct TObject {
    std::string Dict;
    std::string Stream;
};

std::string Inflate(const std::string& In)
{
    z_stream z{};
    if (inflateInit(&z) != Z_OK)
        return {};
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(In.data()));
    z.avail_in = uInt(In.size());
    std::string out;
    char buf[65536];
    int rc = Z_OK;
    while (rc == Z_OK) {
        z.next_out = reinterpret_cast<Bytef*>(buf);
        z.avail_out = sizeof buf;
        rc = inflate(&z, Z_NO_FLUSH);
        out.append(buf, sizeof buf - z.avail_out);
    }
    inflateEnd(&z);
    return out;
}

std::map<int, TObject> Objects(const std::string& Data)
{
    std::map<int, TObject> result;
    std::size_t pos = 0;
    for (;;) {
        const std::size_t at = Data.find(" 0 obj", pos);
        if (at == std::string::npos)
            break;
        std::size_t numStart = at;
        while (numStart > 0 && std::isdigit(static_cast<unsigned char>(Data[numStart - 1])))
            --numStart;
        const int number = std::atoi(Data.substr(numStart, at - numStart).c_str());
        const std::size_t end = Data.find("endobj", at);
        if (end == std::string::npos)
            break;
        std::string body = Data.substr(at + 6, end - at - 6);
        TObject o;
        const std::size_t s = body.find("stream");
        if (s != std::string::npos && body.compare(s, 9, "endstream") != 0) {
            o.Dict = body.substr(0, s);
            std::size_t b = s + 6;
            if (b < body.size() && body[b] == '\r')
                ++b;
            if (b < body.size() && body[b] == '\n')
                ++b;
            const std::size_t e = body.rfind("endstream");
            std::string raw = body.substr(b, e == std::string::npos ? std::string::npos : e - b);
            o.Stream = o.Dict.find("/FlateDecode") != std::string::npos ? Inflate(raw) : raw;
        } else {
            o.Dict = body;
        }
        result[number] = std::move(o);
        pos = end + 6;
    }
    return result;
}

int Ref(const std::string& Dict, const std::string& Key)
{
    const std::size_t k = Dict.find(Key + " ");
    if (k == std::string::npos)
        return -1;
    return std::atoi(Dict.c_str() + k + Key.size() + 1);
}

unsigned Hex(const std::string& S) { return unsigned(std::strtoul(S.c_str(), nullptr, 16)); }

void AppendUtf8(std::string& Out, unsigned C)
{
    if (C < 0x80) {
        Out += char(C);
    } else if (C < 0x800) {
        Out += char(0xC0 | (C >> 6));
        Out += char(0x80 | (C & 0x3F));
    } else {
        Out += char(0xE0 | (C >> 12));
        Out += char(0x80 | ((C >> 6) & 0x3F));
        Out += char(0x80 | (C & 0x3F));
    }
}

std::map<unsigned, unsigned> CMap(const std::string& Text)
{
    std::map<unsigned, unsigned> map;
    static const std::regex range(R"(<([0-9A-Fa-f]+)>\s*<([0-9A-Fa-f]+)>\s*<([0-9A-Fa-f]+)>)");
    static const std::regex single(R"(<([0-9A-Fa-f]+)>\s*<([0-9A-Fa-f]+)>)");
    std::size_t pos = 0;
    while ((pos = Text.find("beginbf", pos)) != std::string::npos) {
        const bool isRange = Text.compare(pos, 12, "beginbfrange") == 0;
        const std::size_t end = Text.find(isRange ? "endbfrange" : "endbfchar", pos);
        const std::string block = Text.substr(pos, end - pos);
        if (isRange) {
            // <first> <last> [<u1> <u2> ...]: one code each; then the plain
            // <first> <last> <u> ranges of what is left.
            static const std::regex list(R"(<([0-9A-Fa-f]+)>\s*<([0-9A-Fa-f]+)>\s*\[([^\]]*)\])");
            static const std::regex code(R"(<([0-9A-Fa-f]+)>)");
            for (std::sregex_iterator it(block.begin(), block.end(), list), e; it != e; ++it) {
                unsigned g = Hex((*it)[1]);
                const std::string codes = (*it)[3];
                for (std::sregex_iterator c(codes.begin(), codes.end(), code), ce; c != ce; ++c)
                    map[g++] = Hex((*c)[1]);
            }
            const std::string plain = std::regex_replace(block, list, " ");
            for (std::sregex_iterator it(plain.begin(), plain.end(), range), e; it != e; ++it)
                for (unsigned g = Hex((*it)[1]), u = Hex((*it)[3]); g <= Hex((*it)[2]); ++g, ++u)
                    map[g] = u;
        } else {
            for (std::sregex_iterator it(block.begin(), block.end(), single), e; it != e; ++it)
                map[Hex((*it)[1])] = Hex((*it)[2]);
        }
        pos = end == std::string::npos ? Text.size() : end;
    }
    return map;
}

}  // namespace

TPdfDocument ReadPdf(const std::string& FileName)
{
    TPdfDocument doc;
    std::ifstream in(FileName, std::ios::binary);
    if (!in)
        return doc;
    std::stringstream ss;
    ss << in.rdbuf();
    const std::string data = ss.str();
    if (data.compare(0, 5, "%PDF-") != 0)
        return doc;
    const auto objects = Objects(data);
    std::map<int, std::map<unsigned, unsigned>> cmaps;  // font object -> map
    std::vector<int> kids;
    for (const auto& [n, o] : objects) {
        if (o.Dict.find("/FontFile") != std::string::npos)
            ++doc.EmbeddedFonts;
        if (o.Dict.find("/Type /Pages") != std::string::npos) {
            const std::size_t k = o.Dict.find("/Kids");
            const std::size_t e = o.Dict.find(']', k);
            static const std::regex ref(R"((\d+) 0 R)");
            const std::string list = o.Dict.substr(k, e - k);
            for (std::sregex_iterator it(list.begin(), list.end(), ref), end; it != end; ++it)
                kids.push_back(std::stoi((*it)[1]));
        }
    }
    for (const int k : kids) {
        const auto it = objects.find(k);
        if (it == objects.end())
            continue;
        const std::string& dict = it->second.Dict;
        TPdfPage page;
        const std::size_t mb = dict.find("/MediaBox");
        if (mb != std::string::npos) {
            std::istringstream box(dict.substr(dict.find('[', mb) + 1));
            box >> page.MediaBox[0] >> page.MediaBox[1] >> page.MediaBox[2] >> page.MediaBox[3];
        }
        page.Rotated = dict.find("/Rotate") != std::string::npos;
        // The page's fonts by resource name.
        std::map<std::string, std::map<unsigned, unsigned>> fonts;
        const int resources = Ref(dict, "/Resources");
        const std::string res = resources >= 0 && objects.count(resources) ? objects.at(resources).Dict : dict;
        const std::size_t f = res.find("/Font");
        if (f != std::string::npos) {
            const std::size_t e = res.find(">>", f);
            const std::string list = res.substr(f + 5, e - f - 5);
            static const std::regex entry(R"(/(\w+)\s+(\d+) 0 R)");
            for (std::sregex_iterator r(list.begin(), list.end(), entry), end; r != end; ++r) {
                const int font = std::stoi((*r)[2]);
                const auto fo = objects.find(font);
                if (fo == objects.end())
                    continue;
                const int tu = Ref(fo->second.Dict, "/ToUnicode");
                if (tu >= 0 && objects.count(tu))
                    fonts[(*r)[1]] = CMap(objects.at(tu).Stream);
            }
        }
        const int contents = Ref(dict, "/Contents");
        const std::string content = contents >= 0 && objects.count(contents) ? objects.at(contents).Stream : "";
        // Tokens: names, hex strings, operators.
        const std::map<unsigned, unsigned>* font = nullptr;
        std::string lastName;
        std::string piece;
        for (std::size_t i = 0; i < content.size();) {
            const char c = content[i];
            if (c == '/') {
                std::size_t j = i + 1;
                while (j < content.size() && std::isalnum(static_cast<unsigned char>(content[j])))
                    ++j;
                lastName = content.substr(i + 1, j - i - 1);
                i = j;
            } else if (c == '<' && i + 1 < content.size() && content[i + 1] != '<') {
                const std::size_t j = content.find('>', i);
                const std::string hex = content.substr(i + 1, j - i - 1);
                for (std::size_t h = 0; h + 4 <= hex.size(); h += 4) {
                    const unsigned g = Hex(hex.substr(h, 4));
                    if (font && font->count(g))
                        AppendUtf8(piece, font->at(g) == '\t' ? ' ' : font->at(g));
                    else
                        piece += '?';
                }
                i = j + 1;
            } else if (std::isalpha(static_cast<unsigned char>(c))) {
                std::size_t j = i;
                while (j < content.size() && std::isalpha(static_cast<unsigned char>(content[j])))
                    ++j;
                const std::string op = content.substr(i, j - i);
                if (op == "Tf") {
                    const auto fi = fonts.find(lastName);
                    font = fi == fonts.end() ? nullptr : &fi->second;
                } else if (op == "ET") {
                    page.Text += piece + "\n";
                    piece.clear();
                }
                i = j;
            } else {
                ++i;
            }
        }
        doc.Pages.push_back(std::move(page));
    }
    doc.Valid = true;
    return doc;
}
