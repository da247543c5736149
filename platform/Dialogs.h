#pragma once
// Common dialogs (files, font, colour, printer set-up) and the small
// message and input boxes. Every one can be answered by a test hook instead
// of a user.
#include <functional>
#include <memory>
#include <vector>

#include "platform/Classes.h"
#include "platform/Colors.h"
#include "platform/Types.h"

class TFont;

class TCommonDialog : public TComponent {
    VEK_DECLARE_CLASS(TCommonDialog, TComponent)

public:
    explicit TCommonDialog(TComponent* AOwner);
    ~TCommonDialog() override;
    // Shows the dialog; true when the user accepted it.
    bool Execute();
    const String& Title() const { return FTitle; }
    void SetTitle(const String& Value) { FTitle = Value; }

protected:
    // The toolkit's dialog; the hook takes its place in tests.
    virtual bool RunNative() = 0;
    // After an accepted answer, from the user or the hook.
    virtual void Accepted() {}
    // Before the dialog or the hook sees the fields.
    virtual void BeforeExecute() {}

private:
    String FTitle;
};

// Tests: answers every common dialog instead of a user; it may set the
// dialog's fields and returns whether the dialog was accepted. Pass nothing
// to show real dialogs again.
void SetDialogHook(std::function<bool(TCommonDialog* Dialog)> Hook);

enum TOpenOption {
    ofReadOnly,
    ofOverwritePrompt,
    ofHideReadOnly,
    ofNoChangeDir,
    ofShowHelp,
    ofNoValidate,
    ofAllowMultiSelect,
    ofExtensionDifferent,
    ofPathMustExist,
    ofFileMustExist,
    ofCreatePrompt,
    ofShareAware,
    ofNoReadOnlyReturn,
    ofNoTestFileCreate,
    ofNoNetworkButton,
    ofNoLongNames,
    ofOldStyleDialog,
    ofNoDereferenceLinks,
    ofEnableIncludeNotify,
    ofEnableSizing
};
using TOpenOptions = TSet<TOpenOption, 32>;

struct TFileFilter {
    String Description;
    std::vector<String> Masks;
};
// "Text files|*.txt;*.csv|All|*.*" -> its pairs. A description without a
// mask is left out; so is an empty mask list. At most 256 pairs are read.
std::vector<TFileFilter> ParseFileFilter(const String& Filter);

class TOpenDialog : public TCommonDialog {
    VEK_DECLARE_CLASS(TOpenDialog, TCommonDialog)

public:
    explicit TOpenDialog(TComponent* AOwner);
    ~TOpenDialog() override;

    const String& FileName() const { return FFileName; }
    void SetFileName(const String& Value) { FFileName = Value; }
    // Every chosen file (several with ofAllowMultiSelect).
    std::vector<String>& Files() { return FFiles; }
    const String& Filter() const { return FFilter; }
    void SetFilter(const String& Value) { FFilter = Value; }
    // One-based, as the class library counts.
    int FilterIndex() const { return FFilterIndex; }
    void SetFilterIndex(int Value) { FFilterIndex = Value; }
    const String& InitialDir() const { return FInitialDir; }
    void SetInitialDir(const String& Value) { FInitialDir = Value; }
    // Appended (with a dot) to a chosen name that has no extension.
    const String& DefaultExt() const { return FDefaultExt; }
    void SetDefaultExt(const String& Value) { FDefaultExt = Value; }
    TOpenOptions Options() const { return FOptions; }
    void SetOptions(TOpenOptions Value) { FOptions = Value; }

protected:
    bool RunNative() override;
    void Accepted() override;
    virtual bool Saving() const { return false; }

private:
    String FFileName;
    std::vector<String> FFiles;
    String FFilter;
    int FFilterIndex = 1;
    String FInitialDir;
    String FDefaultExt;
    TOpenOptions FOptions{ofHideReadOnly, ofEnableSizing};
};

class TSaveDialog : public TOpenDialog {
    VEK_DECLARE_CLASS(TSaveDialog, TOpenDialog)

public:
    explicit TSaveDialog(TComponent* AOwner) : TOpenDialog(AOwner) {}

protected:
    bool Saving() const override { return true; }
};

class TFontDialog : public TCommonDialog {
    VEK_DECLARE_CLASS(TFontDialog, TCommonDialog)

public:
    explicit TFontDialog(TComponent* AOwner);
    ~TFontDialog() override;
    TFont* Font() const { return FFont.get(); }
    void SetFont(TFont* Value);

protected:
    bool RunNative() override;

private:
    std::unique_ptr<TFont> FFont;
};

class TColorDialog : public TCommonDialog {
    VEK_DECLARE_CLASS(TColorDialog, TCommonDialog)

public:
    explicit TColorDialog(TComponent* AOwner) : TCommonDialog(AOwner) {}
    TColor Color() const { return FColor; }
    void SetColor(TColor Value) { FColor = Value; }

protected:
    bool RunNative() override;

private:
    TColor FColor = clBlack;
};

enum TPrinterOrientation { poPortrait, poLandscape };

// The printer's set-up: where Printer() prints (a queue, or a PDF file),
// its paper and orientation. Execute starts from what Printer() has and,
// when accepted, gives Printer() what was chosen.
class TPrinterSetupDialog : public TCommonDialog {
    VEK_DECLARE_CLASS(TPrinterSetupDialog, TCommonDialog)

public:
    explicit TPrinterSetupDialog(TComponent* AOwner) : TCommonDialog(AOwner) {}
    TPrinterOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TPrinterOrientation Value) { FOrientation = Value; }
    // 0 A4, 1 Letter.
    int Paper() const { return FPaper; }
    void SetPaper(int Value) { FPaper = Value == 1 ? 1 : 0; }
    // A queue, or (queue empty) the PDF file; both empty: a PDF the
    // printing layer names.
    const String& PrinterName() const { return FPrinterName; }
    void SetPrinterName(const String& Value) { FPrinterName = Value; }
    const String& FileName() const { return FFileName; }
    void SetFileName(const String& Value) { FFileName = Value; }

protected:
    void BeforeExecute() override;
    bool RunNative() override;
    void Accepted() override;

private:
    TPrinterOrientation FOrientation = poPortrait;
    int FPaper = 0;
    String FPrinterName;
    String FFileName;
};

// A modal box with the message and an OK button (a form named
// "MessageBox" with the label "Message" and the button "OK").
void ShowMessage(const String& Msg);
// A modal box with a prompt, an edit holding Value ("Edit") and the buttons
// "OK" and "Cancel". True and Value changed when accepted.
bool InputQuery(const String& ACaption, const String& APrompt, String& Value);
// The program's translation for the captions of the boxes' own buttons
// (callers pass their texts translated); none: they stay as written.
void SetDialogTextTranslator(std::function<String(const String&)> Translator);
