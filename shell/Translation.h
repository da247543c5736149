#pragma once
// Every text the user sees passes through Translate: the text is looked up
// as a key in the section "translated" of the current language file, and a
// text without a (non-empty) translation is shown as written. Forms are
// translated component by component from their first texts, so switching
// languages back and forth always starts from the program's own wording.
#include <functional>
#include <vector>

#include "platform/Classes.h"
#include "platform/StringList.h"

class TMenuItem;

// Language files larger than this are refused (nothing is translated).
constexpr long long MaxLanguageFileSize = 16 * 1024 * 1024;

// Closes the current language file and opens Path ("default.lng" in the
// current folder when empty). Any failure leaves no file loaded.
void SetLanguagefile(const String& Path = String());
void CloseFile();
bool LanguageFileLoaded();

// The translation of Key, or Default. The section is not used.
String doTranslate(const String& Section, const String& Key, const String& Default);
// The translation, with every backslash-n turned into a carriage return.
String Translate(const String& Text);
// Then each argument in turn replaces the first "%s" (plain substitution).
String Translate(const String& Text, const std::vector<String>& Arguments);
// Translates the caption and hint of Component and of all it owns.
void Translate(TComponent* Component);
// The property ("caption" or "hint"; empty: both) of Component shows data,
// not wording (a file name, the document's name in a caption), or text the
// code translates as it sets it: the form translation leaves it alone (not
// those of the components it owns). Forgotten when the component goes.
void LeaveUntranslated(TComponent* Component, const String& Property = String());
// Tests: every non-empty text looked up from now on is handed to Observer;
// none stops it.
void SetTranslationObserver(std::function<void(const String& Text)> Observer);

// Path helpers: the part before the first "." (trimmed) goes to First, the
// trimmed rest is returned.
String GetFirstPart(const String& Path, String& First);
bool IsLastPart(const String& Path);
// The component directly owned by Owner (the application when null) whose
// name equals Name without regard to case.
TComponent* FindComponent(TComponent* Owner, const String& Name);

// Properties by name (any case): "caption" where the class shows one,
// "hint" on controls, menu items and actions, "tag" (an integer) on all.
bool HasProperty(TComponent* Component, const String& Name);
String GetProperty(TComponent* Component, const String& Name);
void SetProperty(TComponent* Component, const String& Name, const String& Value);
bool StringProperty(TComponent* Component, const String& Name);
bool IntegerProperty(TComponent* Component, const String& Name);
// Classes of the control kit that show a caption of their own.
void RegisterCaptionClass(TClass Cls);
// Lines of Text split at each backslash-n, trimmed.
void SetStringsProperty(TStrings& Strings, const String& Text);

// The property paths of Component's tree that a form translation visits.
void BuildProperties(TComponent* Component, TStrings& List, const String& Prefix);
// Translates one "Form.Component.property" path. Root, when given, is the
// component the path's first part names; else the path starts at the
// application.
void TranslateProperty(const String& Path, TComponent* Root = nullptr);
// Forgets the cached first texts (the run's end, and tests).
void ClearSourceTexts();

// The folder of the executable, with a trailing "/"; tests point it
// elsewhere (an empty text goes back to the executable's folder).
String ProgramFolder();
void SetProgramFolder(const String& Folder);
// ProgramFolder() + "languages/" + Name + ".lng"; a file of that name whose
// extension differs in case only ("Name.LNG") when that is the one there.
String LanguageFileName(const String& Name);
// The text of a language file's bytes: compressed or plain; a byte-order
// mark selects its encoding, and so does UTF-8 beyond ASCII without one;
// anything else is Windows-1252.
String DecodeLanguageText(const std::string& Bytes);

// Names (no folders) of the regular files in Folder whose names end with
// Extension (any case), sorted without regard to case.
std::vector<String> FindFiles(const String& Folder, const String& Extension);

// Fills Menu with one item per language file: caption the file name less
// ".lng", no name (so form translation leaves it alone), automatic hot
// keys off; a click calls OnChoose with the caption.
void BuildLanguageMenu(TMenuItem* Menu, std::function<void(const String&)> OnChoose);
// Checks exactly the items whose caption equals Language.
void CheckLanguageItems(TMenuItem* Menu, const String& Language);
// The language switch: loads the named file from the languages folder
// (none when it is missing), checks the menu's items, then translates every
// form of the application, last first. Returns the language now in force,
// empty when the file does not exist.
String ApplyLanguage(const String& Name, TMenuItem* LanguageMenu);
