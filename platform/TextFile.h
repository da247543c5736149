#pragma once
// Text files as the program reads and writes them.
//
// Writing: Windows-1252 (the "ANSI code page") without a byte-order mark, as
// long as every character of the text has a byte there; otherwise UTF-8 with
// a byte-order mark, so that no character is ever lost. Reading: a UTF-8 or
// UTF-16 (either byte order) byte-order mark selects that encoding, anything
// else is Windows-1252. In memory text is always valid UTF-8: bytes that do
// not decode become U+FFFD.
#include "platform/Types.h"

#include <string>
#include <vector>

// Bytes of a file to UTF-8 text, by the byte-order mark (which is dropped).
String DecodeText(const std::string& bytes);

// UTF-8 text to the bytes of a file: Windows-1252 when every character can be
// held there, else UTF-8 with a byte-order mark. Line ends are left as they
// are. Invalid UTF-8 in the text is written as U+FFFD.
std::string EncodeText(const String& text);

// The whole file, decoded. Raises EFOpenError when it cannot be opened and
// EReadError when it cannot be read.
String LoadTextFile(const String& fileName);

// Replaces the file by the encoded text, atomically: on failure the old file
// is untouched. Raises EFCreateError when it cannot be created and
// EWriteError when a write fails.
void SaveTextFile(const String& fileName, const String& text);

// Replaces the contents of lines by the lines of the text. CR LF, LF and CR
// each end a line; a line end at the very end adds no empty line.
void SplitLines(const String& text, std::vector<String>& lines);

// Windows-1252 bytes to UTF-8; every byte maps to one character (the five
// bytes the code page leaves undefined map to the C1 control characters).
String Windows1252ToUtf8(const std::string& bytes);

// UTF-8 to Windows-1252. False (and out unspecified) when the text holds a
// character the code page has no byte for, or is not valid UTF-8.
bool Utf8ToWindows1252(const String& text, std::string& out);

// UTF-16 code units to UTF-8; unpaired surrogates become U+FFFD.
String Utf16ToUtf8(const std::u16string& text);

// UTF-8 to UTF-16 code units; invalid UTF-8 becomes U+FFFD.
std::u16string Utf8ToUtf16(const String& text);
