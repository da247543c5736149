// Common dialogs over the toolkit's dialogs, and the message and input
// boxes built as our own forms (so the modal hook answers them too).
#include "platform/Dialogs.h"

#include <algorithm>

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QPageLayout>
#include <QPageSetupDialog>
#include <QPageSize>
#include <QPrintDialog>
#include <QPrinter>

#include "platform/Buttons.h"
#include "platform/Forms.h"
#include "platform/Graphics.h"
#include "platform/Printers.h"
#include "platform/StdCtrls.h"

namespace {

std::function<bool(TCommonDialog*)>& DialogHook()
{
    static std::function<bool(TCommonDialog*)> hook;
    return hook;
}

std::vector<String> Split(const String& S, char Sep, std::size_t Limit)
{
    std::vector<String> parts;
    std::size_t start = 0;
    while (parts.size() < Limit) {
        const std::size_t p = S.find(Sep, start);
        parts.push_back(S.substr(start, p == String::npos ? String::npos : p - start));
        if (p == String::npos)
            break;
        start = p + 1;
    }
    return parts;
}

String Trim(const String& S)
{
    const auto b = S.find_first_not_of(" \t");
    if (b == String::npos)
        return {};
    return S.substr(b, S.find_last_not_of(" \t") - b + 1);
}

bool CanShowDialogs() { return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr; }

}  // namespace

void SetDialogHook(std::function<bool(TCommonDialog* Dialog)> Hook) { DialogHook() = std::move(Hook); }

TCommonDialog::TCommonDialog(TComponent* AOwner) : TComponent(AOwner) {}
TCommonDialog::~TCommonDialog() = default;

bool TCommonDialog::Execute()
{
    bool ok;
    BeforeExecute();
    if (DialogHook())
        ok = DialogHook()(this);
    else
        ok = CanShowDialogs() && RunNative();
    if (ok)
        Accepted();
    return ok;
}

std::vector<TFileFilter> ParseFileFilter(const String& Filter)
{
    constexpr std::size_t MaxPairs = 256;
    std::vector<TFileFilter> result;
    const auto parts = Split(Filter, '|', MaxPairs * 2);
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
        TFileFilter f;
        f.Description = parts[i];
        for (const String& m : Split(parts[i + 1], ';', 64))
            if (!Trim(m).empty())
                f.Masks.push_back(Trim(m));
        if (!f.Masks.empty())
            result.push_back(std::move(f));
    }
    return result;
}

// ---------------------------------------------------------------------------

TOpenDialog::TOpenDialog(TComponent* AOwner) : TCommonDialog(AOwner) {}
TOpenDialog::~TOpenDialog() = default;

void TOpenDialog::Accepted()
{
    if (FFiles.empty() && !FFileName.empty())
        FFiles.push_back(FFileName);
    if (FDefaultExt.empty())
        return;
    const String ext = FDefaultExt.front() == '.' ? FDefaultExt : "." + FDefaultExt;
    for (String* name : [&] {
             std::vector<String*> all{&FFileName};
             for (String& f : FFiles) all.push_back(&f);
             return all;
         }()) {
        if (name->empty())
            continue;
        const auto slash = name->find_last_of('/');
        const auto dot = name->find_last_of('.');
        if (dot == String::npos || (slash != String::npos && dot < slash))
            *name += ext;
    }
}

bool TOpenDialog::RunNative()
{
    QFileDialog d;
    d.setWindowTitle(QString::fromStdString(Title()));
    d.setAcceptMode(Saving() ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    d.setFileMode(Saving() ? QFileDialog::AnyFile
                  : FOptions.Contains(ofAllowMultiSelect) ? QFileDialog::ExistingFiles
                  : FOptions.Contains(ofFileMustExist) ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    if (Saving() && !FOptions.Contains(ofOverwritePrompt))
        d.setOption(QFileDialog::DontConfirmOverwrite);
    QStringList filters;
    for (const TFileFilter& f : ParseFileFilter(FFilter)) {
        QStringList masks;
        for (const String& m : f.Masks)
            masks << QString::fromStdString(m);
        filters << QString::fromStdString(f.Description) + " (" + masks.join(' ') + ")";
    }
    if (!filters.isEmpty()) {
        d.setNameFilters(filters);
        d.selectNameFilter(filters.value(std::clamp(FFilterIndex, 1, int(filters.size())) - 1));
    }
    if (!FInitialDir.empty())
        d.setDirectory(QString::fromStdString(FInitialDir));
    if (!FFileName.empty())
        d.selectFile(QString::fromStdString(FFileName));
    if (!FDefaultExt.empty())
        d.setDefaultSuffix(QString::fromStdString(FDefaultExt));
    if (d.exec() != QDialog::Accepted)
        return false;
    FFiles.clear();
    for (const QString& f : d.selectedFiles())
        FFiles.push_back(f.toStdString());
    FFileName = FFiles.empty() ? String() : FFiles.front();
    if (!filters.isEmpty())
        FFilterIndex = int(filters.indexOf(d.selectedNameFilter())) + 1;
    return !FFileName.empty();
}

// ---------------------------------------------------------------------------

TFontDialog::TFontDialog(TComponent* AOwner) : TCommonDialog(AOwner), FFont(std::make_unique<TFont>()) {}
TFontDialog::~TFontDialog() = default;

void TFontDialog::SetFont(TFont* Value) { FFont->Assign(Value); }

bool TFontDialog::RunNative()
{
    QFont start(QString::fromStdString(FFont->Name()), FFont->Size());
    start.setBold(FFont->Style().Contains(fsBold));
    start.setItalic(FFont->Style().Contains(fsItalic));
    start.setUnderline(FFont->Style().Contains(fsUnderline));
    start.setStrikeOut(FFont->Style().Contains(fsStrikeOut));
    bool ok = false;
    const QFont f = QFontDialog::getFont(&ok, start, nullptr, QString::fromStdString(Title()));
    if (!ok)
        return false;
    FFont->SetName(f.family().toStdString());
    if (f.pointSize() > 0)
        FFont->SetSize(f.pointSize());
    TFontStyles s;
    if (f.bold()) s.Include(fsBold);
    if (f.italic()) s.Include(fsItalic);
    if (f.underline()) s.Include(fsUnderline);
    if (f.strikeOut()) s.Include(fsStrikeOut);
    FFont->SetStyle(s);
    return true;
}

bool TColorDialog::RunNative()
{
    const TColor c = ColorToRGB(FColor);
    const QColor q = QColorDialog::getColor(QColor(GetRValue(c), GetGValue(c), GetBValue(c)), nullptr,
                                            QString::fromStdString(Title()));
    if (!q.isValid())
        return false;
    FColor = RGB(Byte(q.red()), Byte(q.green()), Byte(q.blue()));
    return true;
}

void TPrinterSetupDialog::BeforeExecute()
{
    TPrinter* p = Printer();
    FOrientation = p->Orientation();
    FPaper = p->Paper() == pkLetter ? 1 : 0;
    FPrinterName = p->ToFile() ? String() : p->PrinterName();
    FFileName = p->OutputFileName();
}

bool TPrinterSetupDialog::RunNative()
{
    QPrinter printer(QPrinter::HighResolution);
    if (!FPrinterName.empty()) {
        printer.setPrinterName(QString::fromStdString(FPrinterName));
    } else {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(FFileName));
    }
    printer.setPageSize(QPageSize(FPaper == 1 ? QPageSize::Letter : QPageSize::A4));
    printer.setPageOrientation(FOrientation == poLandscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    QPrintDialog d(&printer);
    d.setOption(QAbstractPrintDialog::PrintToFile, true);
    d.setOption(QAbstractPrintDialog::PrintPageRange, false);
    if (d.exec() != QDialog::Accepted)
        return false;
    if (printer.outputFormat() == QPrinter::PdfFormat) {
        FPrinterName.clear();
        FFileName = printer.outputFileName().toStdString();
    } else {
        FPrinterName = printer.printerName().toStdString();
        FFileName.clear();
    }
    FPaper = printer.pageLayout().pageSize().id() == QPageSize::Letter ? 1 : 0;
    FOrientation = printer.pageLayout().orientation() == QPageLayout::Landscape ? poLandscape : poPortrait;
    return true;
}

void TPrinterSetupDialog::Accepted()
{
    TPrinter* p = Printer();
    if (!FPrinterName.empty())
        p->SetPrinterName(FPrinterName);
    else if (!FFileName.empty())
        p->SetOutputFileName(FFileName);
    else {
        p->SetPrinterName(String());
        p->SetOutputFileName(String());
    }
    p->SetPaper(FPaper == 1 ? pkLetter : pkA4);
    p->SetOrientation(FOrientation);
}

// ---------------------------------------------------------------------------

namespace {

std::function<String(const String&)>& DialogTextTranslator()
{
    static std::function<String(const String&)> translator;
    return translator;
}

TButton* AddBoxButton(TForm* Form, const String& Name, const String& Caption, TModalResult Result, int Left, int Top)
{
    auto* b = Create<TButton>(Form);
    b->SetName(Name);
    b->SetParent(Form);
    b->SetCaption(DialogTextTranslator() ? DialogTextTranslator()(Caption) : Caption);
    b->SetModalResult(Result);
    b->SetBounds(Left, Top, 75, 25);
    return b;
}

}  // namespace

void ShowMessage(const String& Msg)
{
    std::unique_ptr<TForm> form(Create<TForm>(Application));
    form->SetName("MessageBox");
    form->SetBorderStyle(bsDialog);
    form->SetPosition(poScreenCenter);
    form->SetCaption(Application->Title());
    auto* label = Create<TLabel>(form.get());
    label->SetName("Message");
    label->SetParent(form.get());
    label->SetCaption(Msg);
    label->SetBounds(12, 12, 300, 40);
    form->SetClientWidth(324);
    form->SetClientHeight(90);
    TButton* ok = AddBoxButton(form.get(), "OK", "OK", mrOk, 124, 56);
    ok->SetDefault(true);
    ok->SetCancel(true);
    form->ShowModal();
}

void SetDialogTextTranslator(std::function<String(const String&)> Translator)
{
    DialogTextTranslator() = std::move(Translator);
}

bool InputQuery(const String& ACaption, const String& APrompt, String& Value)
{
    std::unique_ptr<TForm> form(Create<TForm>(Application));
    form->SetName("InputQueryBox");
    form->SetBorderStyle(bsDialog);
    form->SetPosition(poScreenCenter);
    form->SetCaption(ACaption);
    form->SetClientWidth(260);
    form->SetClientHeight(100);
    auto* prompt = Create<TLabel>(form.get());
    prompt->SetName("Prompt");
    prompt->SetParent(form.get());
    prompt->SetCaption(APrompt);
    prompt->SetBounds(8, 8, 244, 15);
    auto* edit = Create<TEdit>(form.get());
    edit->SetName("Edit");
    edit->SetParent(form.get());
    edit->SetBounds(8, 28, 244, 21);
    edit->SetText(Value);
    form->SetActiveControl(edit);
    AddBoxButton(form.get(), "OK", "OK", mrOk, 96, 64)->SetDefault(true);
    AddBoxButton(form.get(), "Cancel", "Cancel", mrCancel, 177, 64)->SetCancel(true);
    if (form->ShowModal() != mrOk)
        return false;
    Value = edit->Text();
    return true;
}
