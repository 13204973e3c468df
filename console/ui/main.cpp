// brisko: the cafe's counter console.
#include "console_options.h"
#include "console_window.h"

#include <QApplication>
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
    brisko::ConsoleWindow window(settings, clock);
    const auto started = window.startUp();
    if (started != console::ConsoleEngine::StartResult::Running)
        return started == console::ConsoleEngine::StartResult::WrongPassword ? 1 : 3;
    QObject::connect(&window, &brisko::ConsoleWindow::consoleEnded, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    window.show();
    return app.exec();
}
