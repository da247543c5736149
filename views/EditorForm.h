#pragma once
// TEditorForm: the tool window the editor panel moves into when the editor
// is shown as a window. It stays on top of the main window and snaps to the
// edges of the screen while it is dragged.
#include "platform/Forms.h"

class TScreenDocker;

class TEditorForm : public TForm {
    VEK_DECLARE_CLASS(TEditorForm, TForm)
public:
    explicit TEditorForm(TComponent* AOwner);
    TScreenDocker* ScreenDocker1 = nullptr;
};
