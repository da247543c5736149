#pragma once
// The hint window the program's hints show in: the platform's, casting a
// shadow below and right of it.
#include "platform/Controls.h"

class TShadowedHintWindow : public THintWindow {
    VEK_DECLARE_CREATABLE_CLASS(TShadowedHintWindow, THintWindow)

public:
    explicit TShadowedHintWindow(TComponent* AOwner = nullptr) : THintWindow(AOwner) {}

protected:
    void CreateParams(TCreateParams& Params) override;
};
