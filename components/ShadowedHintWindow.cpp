#include "components/ShadowedHintWindow.h"

void TShadowedHintWindow::CreateParams(TCreateParams& Params)
{
    THintWindow::CreateParams(Params);
    Params.WindowClassStyle |= CS_DROPSHADOW;
}
