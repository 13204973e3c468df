#pragma once
// Control states that both the station buttons and the bill panel switch: the
// focus, the default push button, and whether the Bill button is enabled.
//
// The focus has two sides. The engine asks for it to move (a request with a
// serial the window watches); the window reports where it really went. Rules
// look at where it is headed: the request the window has not answered yet, or
// else where the window last saw it.

#include "console/console_view.h"

namespace console {

struct WindowControls {
    FocusTarget focus{FocusTarget::Control::StationTable, 0};        // as last reported by the window
    FocusTarget focusRequest{FocusTarget::Control::StationTable, 0}; // as last asked by the engine
    unsigned focusRequestSerial = 0;
    bool requestUnanswered = false;
    DefaultButton defaultButton = DefaultButton::None;
    bool billButtonEnabled = true;

    // The engine asks the window to move the focus.
    void requestFocus(FocusTarget target)
    {
        focusRequest = target;
        ++focusRequestSerial;
        requestUnanswered = true;
        clearDefaultForField(target);
    }

    // The window reports where the focus went.
    void focusReported(FocusTarget target)
    {
        focus = target;
        requestUnanswered = false;
        clearDefaultForField(target);
    }

    FocusTarget expectedFocus() const { return requestUnanswered ? focusRequest : focus; }

    bool inInputField() const
    {
        const FocusTarget::Control c = expectedFocus().control;
        return c == FocusTarget::Control::TenderField || c == FocusTarget::Control::QuantityField;
    }

private:
    // The tender and quantity fields take Enter themselves, so the focus going
    // to one of them clears the default push button.
    void clearDefaultForField(FocusTarget target)
    {
        if (target.control == FocusTarget::Control::TenderField ||
            target.control == FocusTarget::Control::QuantityField)
            defaultButton = DefaultButton::None;
    }
};

} // namespace console
