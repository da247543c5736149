// Reads arbitrary bytes as the clipboard's HTML: what comes out is a piece of
// the input, and wrapping it again gives it back.
#include "platform/Clipbrd.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    std::string html;
    if (!HtmlOfClipboardHtml(input, html))
        return 0;
    if (html.size() > input.size() || input.find(html) == std::string::npos)
        std::abort();
    std::string again;
    if (!HtmlOfClipboardHtml(ClipboardHtmlOfHtml(html), again) || again != html)
        std::abort();
    return 0;
}
