#pragma once
// Control states that both the station buttons and the bill panel switch: the
// focus, the default push button, and whether the Bill button is enabled.

#include "console/console_view.h"

namespace console {

struct WindowControls {
    FocusTarget focus{FocusTarget::Control::StationTable, 0};
    DefaultButton defaultButton = DefaultButton::None;
    bool billButtonEnabled = true;

    // The tender and quantity fields take Enter themselves, so giving them the
    // focus clears the default push button.
    void moveFocus(FocusTarget target)
    {
        focus = target;
        if (target.control == FocusTarget::Control::TenderField ||
            target.control == FocusTarget::Control::QuantityField)
            defaultButton = DefaultButton::None;
    }
};

} // namespace console
