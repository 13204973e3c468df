// installer: puts the counter console or the station client on this machine.
#include "installer/installer_options.h"
#include "installer_dialog.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char** argv)
{
    // --help and --version answer without a display.
    const auto options = installer::parseInstallerOptions({argv + 1, argv + argc});
    if (!options.error.empty()) {
        std::fprintf(stderr, "installer: %s\n%s", options.error.c_str(), installer::installerUsage().c_str());
        return 2;
    }
    if (options.help) {
        std::fputs(installer::installerUsage().c_str(), stdout);
        return 0;
    }
    if (options.version) {
        std::fputs(installer::installerVersion().c_str(), stdout);
        return 0;
    }

    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("Installer"));
    installer::InstallerDialog dialog(installer::machineSetup());
    return dialog.exec() == QDialog::Accepted ? 0 : 1;
}
