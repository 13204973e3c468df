// tamblo: the station client.
#include "client/station_key.h"
#include "client/client_options.h"
#include "client/display_session.h"
#include "client/logind_power_locks.h"
#include "client/texts.h"
#include "platform/process_guard.h"
#include "platform/workstation_shutdown.h"
#include "client/restart_policy.h"
#include "station_window.h"
#include "synthetic_input_filter.h"
#include "termination_signals.h"

#include <QApplication>
#include <QSessionManager>
#include <cstdio>
#include <filesystem>

int main(int argc, char** argv)
{
    // The customer's programs run beside the lock: none of them may attach to it.
    (void)platform::forbidTracing();

    // --help and --version answer without a display.
    const std::vector<std::string> given(argv + 1, argv + argc);
    for (const std::string& arg : given) {
        if (arg == "--help" || arg == "-h") {
            std::fputs(client::clientUsage().c_str(), stdout);
            return 0;
        }
        if (arg == "--version") {
            std::fputs(client::clientVersion().c_str(), stdout);
            return 0;
        }
    }

    // --set-key, for scripted installs, needs no display either.
    if (auto early = client::parseClientOptions(given); early.error.empty() && early.options.setKey) {
        if (auto problem = client::storeStationKey(early.options.folders.config, *early.options.setKey)) {
            std::fprintf(stderr, "tamblo: %s\n", problem->c_str());
            return client::kExitBadArguments;
        }
        std::printf("%s\n",
                    client::keyKeptMessage((early.options.folders.config / client::kKeyFileName).string()).c_str());
        return 0;
    }

    QApplication app(argc, argv);
    app.setApplicationName("Tamblo");
    app.setQuitOnLastWindowClosed(false);

    std::vector<std::string> args;
    for (const auto& arg : app.arguments().mid(1))
        args.push_back(arg.toStdString());
    auto parsed = client::parseClientOptions(args);
    if (!parsed.error.empty()) {
        std::fprintf(stderr, "tamblo: %s\n%s", parsed.error.c_str(), client::clientUsage().c_str());
        return client::kExitBadArguments;
    }
    const auto& folders = parsed.options.folders;
    for (const auto& folder : {folders.config, folders.state, folders.log}) {
        std::error_code ec;
        if (!std::filesystem::is_directory(folder, ec)) {
            std::fprintf(stderr, "tamblo: %s\n", client::noSuchFolderMessage(folder.string()).c_str());
            return client::kExitBadArguments;
        }
    }

    client::ui::StationSetup setup;
    setup.options = parsed.options;
    setup.workstation.windowed = parsed.options.windowed;
    setup.workstation.windowArea = parsed.options.windowArea;
    setup.workstation.libraryFolder = QCoreApplication::applicationDirPath().toStdString();
    setup.workstation.shutdownCommand = platform::defaultPowerOffCommand();

    // Keys and clicks another program sends to the lock's windows are not the customer's typing.
    client::ui::SyntheticInputFilter syntheticInput;
    if (!parsed.options.windowed)
        app.installNativeEventFilter(&syntheticInput);

    client::ui::StationWindow window(setup);
    // The power keys and a shutdown are held through logind where it runs.
    client::LogindPowerLocks powerLocks(window.engine().log());
    window.engine().setPowerLocks(&powerLocks);
    // A Wayland desktop cannot be locked by a program: say so rather than pretend.
    if (client::needsX11Session(client::displayEnvironment(QGuiApplication::platformName().toStdString())))
        window.engine().noteLockNotEnforced();
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &window,
                     [&window](QSessionManager& manager) { window.queryEndSession(manager); });
    QObject::connect(&window, &client::ui::StationWindow::programEnded, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    client::ui::TerminationSignals termination;
    QObject::connect(&termination, &client::ui::TerminationSignals::received, &window,
                     &client::ui::StationWindow::endOnSignal);
    window.start();
    const int status = app.exec();
    return status != 0 ? status : window.exitStatus();
}
