#include "components/KitTranslation.h"

namespace {

TKitTranslator& Translator()
{
    static TKitTranslator translator;
    return translator;
}

}  // namespace

void SetKitTranslator(TKitTranslator Translator_) { Translator() = std::move(Translator_); }

String KitTranslate(const String& Text) { return Translator() ? Translator()(Text) : Text; }
