#include "views/EditorForm.h"

#include "components/ScreenDocker.h"

TEditorForm::TEditorForm(TComponent* AOwner) : TForm(AOwner)
{
    SetName("EditorForm");
    SetCaption("Editor");
    SetBorderStyle(bsSizeToolWin);
    SetFormStyle(fsStayOnTop);
    ScreenDocker1 = Create<TScreenDocker>(this);
    ScreenDocker1->SetName("ScreenDocker1");
    ScreenDocker1->SetDockDistance(20);
}
