// brisko: the cafe's counter console.
#include "console_options.h"
#include "console_window.h"

#ifdef BRISKO_PRINT_ACCOUNTING
#include "print/cups_print_monitor.h"
#include "print/print_monitor_log.h"
#endif

#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <filesystem>

int main(int argc, char** argv)
{
    // --help and --version answer without a display.
    const std::vector<std::string> given(argv + 1, argv + argc);
    for (const std::string& arg : given) {
        if (arg == "--help" || arg == "-h") {
            std::fputs(brisko::consoleUsage().c_str(), stdout);
            return 0;
        }
        if (arg == "--version") {
            std::fputs(brisko::consoleVersion().c_str(), stdout);
            return 0;
        }
    }

    // The toolkit takes its own options (-geometry, -platform, ...) first.
    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("Brisko"));
    app.setApplicationVersion(QStringLiteral(BRISKO_VERSION));
    app.setQuitOnLastWindowClosed(false);

    std::vector<std::string> args;
    for (const QString& arg : app.arguments().mid(1))
        args.push_back(arg.toStdString());
    const auto parsed = brisko::parseConsoleOptions(args);
    if (!parsed.error.empty()) {
        std::fprintf(stderr, "brisko: %s\n%s", parsed.error.c_str(), brisko::consoleUsage().c_str());
        return 2;
    }
    std::error_code ec;
    if (!std::filesystem::is_directory(parsed.options.folder, ec)) {
        std::fprintf(stderr, "brisko: no such folder: %s\n", parsed.options.folder.c_str());
        return 2;
    }

    platform::SystemClock clock;
    console::ConsoleSettings settings;
    settings.folder = parsed.options.folder;
    settings.link = parsed.options.link;
#ifdef BRISKO_PRINT_ACCOUNTING
    // Declared before the window: the engine stops it when the console ends.
    print::PrintMonitorSettings printSettings;
    printSettings.memoryFile = settings.folder / "BriskoPrinted";
    print::CupsPrintMonitor printMonitor(printSettings);
    brisko::ConsoleWindow window(settings, clock, &printMonitor);
#else
    brisko::ConsoleWindow window(settings, clock);
#endif
    const auto started = window.startUp();
    if (started != console::ConsoleEngine::StartResult::Running)
        return started == console::ConsoleEngine::StartResult::WrongPassword ? 1 : 3;
    QObject::connect(&window, &brisko::ConsoleWindow::consoleEnded, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
#ifdef BRISKO_PRINT_ACCOUNTING
    // The monitor's notices go to the activity log; while its server cannot be
    // reached the title says that printed pages are not being charged.
    QTimer printWatch;
    QObject::connect(&printWatch, &QTimer::timeout, &window, [&] {
        if (window.engine().hasEnded())
            return;
        print::logPrintMonitorNotices(printMonitor, window.engine().activityLog());
        const QString title = printMonitor.charging()
                                  ? QStringLiteral("Brisko")
                                  : QStringLiteral("Brisko - print server unreachable, printing not charged");
        if (window.windowTitle() != title)
            window.setWindowTitle(title);
    });
    printWatch.start(500);
#endif
    window.show();
    return app.exec();
}
