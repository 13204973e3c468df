#pragma once
// The first-run setup of a new cafe as a wizard of four pages: password,
// stations, rates and receipt lines. It shows a FirstRunSetup and forwards
// what the owner types; each page refuses a typo with the model's message and
// keeps the owner on it. Every page may be left empty, which skips it.
// The stations trying to connect are asked for once a second while the
// wizard is up.
//
// Window thread only.

#include "console/configuration/first_run_setup.h"

#include <QWizard>

#include <functional>
#include <vector>

namespace console::ui {

using KnockingStations = std::function<std::vector<platform::Ipv4Address>()>;

class FirstRunWizard final : public QWizard {
    Q_OBJECT
public:
    FirstRunWizard(console::configuration::FirstRunSetup& setup, KnockingStations knocking, QWidget* parent = nullptr);
};

} // namespace console::ui
