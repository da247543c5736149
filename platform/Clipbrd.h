#pragma once
// The system clipboard, for plain text.
#include "platform/Types.h"

// Places Text on the clipboard; false when there is no clipboard to reach
// (no display, or the toolkit is not up).
bool SetClipboardText(const String& Text);
// The clipboard's text; empty when it holds none.
String GetClipboardText();
