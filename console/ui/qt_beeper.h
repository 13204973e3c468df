#pragma once
// QtBeeper: the console's beep as the desktop's beep. Window thread only.

#include "console/operator_interfaces.h"

namespace console::ui {

class QtBeeper final : public console::Beeper {
public:
    void beep() override;
};

} // namespace console::ui
