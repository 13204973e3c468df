// installer: puts the counter console or the station client on this machine,
// or removes them.
#include "installer/installer_options.h"
#include "installer_dialog.h"
#include "platform/install_files.h"

#include <QApplication>
#include <cstdio>
#include <filesystem>
#include <string>

int main(int argc, char** argv)
{
    // --help and --version answer without a display.
    const auto options = installer::parseInstallerOptions({argv + 1, argv + argc});
    const std::string name = std::filesystem::path(argc > 0 ? argv[0] : "installer").filename().string();
    if (!options.error.empty()) {
        std::fprintf(stderr, "%s: %s\n%s", name.c_str(), options.error.c_str(),
                     installer::installerUsage(name).c_str());
        return 2;
    }
    if (options.help) {
        std::fputs(installer::installerUsage(name).c_str(), stdout);
        return 0;
    }
    if (options.version) {
        std::fputs(installer::installerVersion(name).c_str(), stdout);
        return 0;
    }

    const auto source =
        installer::chooseSourceFolder(options.from, platform::currentFolder(), platform::programFolder());
    if (!source.error.empty()) {
        std::fprintf(stderr, "%s: %s\n", name.c_str(), source.error.c_str());
        return 2;
    }

    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("Installer"));
    installer::InstallerDialog dialog(installer::machineSetup(source.folder));
    return dialog.exec() == QDialog::Accepted ? 0 : 1;
}
