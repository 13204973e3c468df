// brisko: the cafe's counter console.
#include "console_options.h"
#include "console_window.h"
#include "brisko_version.h"

#ifdef BRISKO_PRINT_ACCOUNTING
#include "print/cups_print_monitor.h"
#include "print/print_monitor_log.h"
#endif

#include "store/data_folder.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <cstdio>
#include <filesystem>

int main(int argc, char** argv)
{
    // --help and --version answer without a display.
    const std::vector<std::string> given(argv + 1, argv + argc);
    for (const std::string& arg : given) {
        if (arg == "--help" || arg == "-h") {
            std::fputs(console::ui::consoleUsage().c_str(), stdout);
            return 0;
        }
        if (arg == "--version") {
            std::fputs(console::ui::consoleVersion().c_str(), stdout);
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
    const auto parsed = console::ui::parseConsoleOptions(args);
    if (!parsed.error.empty()) {
        std::fprintf(stderr, "brisko: %s\n%s", parsed.error.c_str(), console::ui::consoleUsage().c_str());
        return 2;
    }
    const store::UserFolders user = store::UserFolders::fromEnvironment();
    const store::DataFolder folder = store::chooseDataFolder(parsed.options.folder, user);
    std::error_code ec;
    if (folder.source == store::DataFolder::Source::Default)
        std::filesystem::create_directories(folder.path, ec);
    if (!std::filesystem::is_directory(folder.path, ec)) {
        std::fprintf(stderr, "brisko: no such folder: %s\n", folder.path.c_str());
        return 2;
    }
    if (parsed.options.remember) {
        if (auto problem = store::rememberDataFolder(user, folder.path)) {
            std::fprintf(stderr, "brisko: %s\n", problem->c_str());
            return 2;
        }
    }
    // A folder without a cafe is made one only on purpose: a start in the
    // wrong folder must not begin a second, empty set of books.
    if (!store::holdsCafe(folder.path)) {
        const QString where = QString::fromStdString(store::shownFolder(folder.path, user));
        const auto answer = QMessageBox::question(
            nullptr, QStringLiteral("Brisko"),
            QStringLiteral("There is no cafe in %1 yet.\n\nMake a new cafe there? Brisko then helps you set its "
                           "password, stations, rates and receipt.")
                .arg(where),
            QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
        if (answer != QMessageBox::Yes)
            return 0;
    }

    platform::SystemClock clock;
    console::ConsoleSettings settings;
    settings.folder = folder.path;
    settings.link = parsed.options.link;
#ifdef BRISKO_PRINT_ACCOUNTING
    // Declared before the window: the engine stops it when the console ends.
    print::PrintMonitorSettings printSettings;
    printSettings.memoryFile = settings.folder / "BriskoPrinted";
    print::CupsPrintMonitor printMonitor(printSettings);
    console::ui::ConsoleWindow window(settings, clock, &printMonitor);
#else
    console::ui::ConsoleWindow window(settings, clock);
#endif
    const auto started = window.startUp();
    if (started != console::ConsoleEngine::StartResult::Running)
        return started == console::ConsoleEngine::StartResult::WrongPassword ? 1 : 3;
    QObject::connect(&window, &console::ui::ConsoleWindow::consoleEnded, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
#ifdef BRISKO_PRINT_ACCOUNTING
    // The monitor's notices go to the activity log; while its server cannot be
    // reached the title says that printed pages are not being charged.
    QTimer printWatch;
    QObject::connect(&printWatch, &QTimer::timeout, &window, [&] {
        if (window.engine().hasEnded())
            return;
        print::logPrintMonitorNotices(printMonitor, window.engine().activityLog());
        const QString title =
            printMonitor.charging()
                ? window.folderTitle()
                : window.folderTitle() + QStringLiteral(" - print server unreachable, printing not charged");
        if (window.windowTitle() != title)
            window.setWindowTitle(title);
    });
    printWatch.start(500);
#endif
    window.show();
    QTimer::singleShot(0, &window, &console::ui::ConsoleWindow::offerFirstRun);
    return app.exec();
}
