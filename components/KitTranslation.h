#pragma once
// The kit's visible texts go through the program's translation, which lives
// in a higher layer: the program sets the translator at start-up. Without
// one a text stays as it is.
#include <functional>

#include "platform/Types.h"

using TKitTranslator = std::function<String(const String& Text)>;
void SetKitTranslator(TKitTranslator Translator);
String KitTranslate(const String& Text);
