// The wizard's steps, buttons, folder, summary and notices, without a
// window; the typed folder made full; the command line and the source folder.
#include "installer/folder_text.h"
#include "installer/installer_options.h"
#include "installer/wizard_model.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>

using installer::WizardModel;
using installer::WizardSetup;
namespace fs = std::filesystem;

namespace {

WizardSetup setup()
{
    WizardSetup setup;
    setup.source = "/media/usb";
    setup.consoleFolder = "/opt/Brisko";
    setup.workstationFolder = "/opt/Tamblo";
    setup.logonStartFolder = "/etc/xdg/autostart";
    return setup;
}

TEST(WizardModel, StepOneWaitsForAChoice)
{
    WizardModel model(setup());
    EXPECT_EQ(model.step(), 0);
    EXPECT_EQ(model.choice(), -1);
    EXPECT_FALSE(model.backEnabled());
    EXPECT_FALSE(model.nextEnabled());
    EXPECT_EQ(model.nextCaption(), "Next >");
    model.next(); // disabled: nothing happens
    EXPECT_EQ(model.step(), 0);
    model.choose(1);
    EXPECT_TRUE(model.nextEnabled());
    EXPECT_TRUE(model.workstation());
    model.choose(0);
    EXPECT_FALSE(model.workstation());
}

TEST(WizardModel, ButtonsAndPagesFollowTheStep)
{
    WizardModel model(setup());
    model.choose(0);
    model.next();
    EXPECT_EQ(model.step(), 1);
    EXPECT_TRUE(model.backEnabled());
    EXPECT_TRUE(model.pageVisible(1));
    EXPECT_FALSE(model.pageVisible(0));
    EXPECT_EQ(model.nextCaption(), "Next >");
    model.next();
    EXPECT_EQ(model.step(), 2);
    EXPECT_EQ(model.nextCaption(), "Install");
    EXPECT_TRUE(model.nextInstalls());
    model.next(); // installing is the dialog's, the step stays
    EXPECT_EQ(model.step(), 2);
    model.back();
    model.back();
    EXPECT_EQ(model.step(), 0);
    EXPECT_FALSE(model.backEnabled());
    model.back();
    EXPECT_EQ(model.step(), 0);
}

TEST(WizardModel, FolderFollowsTheChoiceUntilEdited)
{
    WizardModel model(setup());
    model.choose(1);
    model.next();
    EXPECT_EQ(model.folder(), "/opt/Tamblo");
    model.back();
    model.choose(0);
    model.next();
    EXPECT_EQ(model.folder(), "/opt/Brisko");
    EXPECT_FALSE(model.folderEdited());

    model.setFolderText("/srv/Counter");
    model.back();
    EXPECT_TRUE(model.folderEdited());
    model.choose(1);
    model.next();
    EXPECT_EQ(model.folder(), "/srv/Counter");
    model.next();
    EXPECT_EQ(model.plan().folder, "/srv/Counter");
    EXPECT_EQ(model.plan().program, platform::InstallProgram::Workstation);
    EXPECT_EQ(model.plan().source, "/media/usb");
}

TEST(WizardModel, RetypingTheSameFolderIsNoEdit)
{
    WizardModel model(setup());
    model.choose(1);
    model.next();
    model.setFolderText("/opt/Tamb");
    model.setFolderText("/opt/Tamblo");
    model.back();
    EXPECT_FALSE(model.folderEdited());
    model.choose(0);
    model.next();
    EXPECT_EQ(model.folder(), "/opt/Brisko");
}

TEST(WizardModel, SummaryIsExact)
{
    WizardModel model(setup());
    model.choose(1);
    model.next();
    model.next();
    EXPECT_EQ(model.summary(), "Installation\r\n-----------\r\nTamblo - Workstation\r\nInstallation folder: "
                               "/opt/Tamblo\r\n");
    model.back();
    model.back();
    model.choose(0);
    model.next();
    model.setFolderText("/home/desk/Brisko");
    model.next();
    EXPECT_EQ(model.summary(), "Installation\r\n-----------\r\nBrisko - Server\r\nInstallation folder: "
                               "/home/desk/Brisko\r\n");
}

TEST(MachineSetup, FoldersFollowTheRightsAndTheEnvironment)
{
    EXPECT_EQ(platform::defaultProgramsFolder(true), "/opt");
    EXPECT_EQ(platform::logonStartFolder(true), "/etc/xdg/autostart");

    const char* home = std::getenv("HOME");
    const std::string savedHome = home ? home : "";
    ::setenv("HOME", "/home/desk", 1);
    ::setenv("XDG_CONFIG_HOME", "/home/desk/.cfg", 1);
    EXPECT_EQ(platform::defaultProgramsFolder(false), "/home/desk/.local/opt");
    EXPECT_EQ(platform::logonStartFolder(false), "/home/desk/.cfg/autostart");
    ::setenv("XDG_CONFIG_HOME", "relative", 1); // not absolute: ignored
    EXPECT_EQ(platform::logonStartFolder(false), "/home/desk/.config/autostart");
    ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(platform::logonStartFolder(false), "/home/desk/.config/autostart");
    ::setenv("HOME", savedHome.c_str(), 1);

    auto machine = installer::machineSetup("/media/usb");
    const bool root = platform::runsAsAdministrator();
    EXPECT_EQ(machine.consoleFolder, (platform::defaultProgramsFolder(root) / "Brisko").string());
    EXPECT_EQ(machine.workstationFolder, (platform::defaultProgramsFolder(root) / "Tamblo").string());
    EXPECT_EQ(machine.source, "/media/usb");
}

TEST(WizardModel, RefusedStationAndRefusedFolderKeepThePageWithANotice)
{
    WizardSetup refused = setup();
    refused.home = "/home/desk";
    refused.stationRefusal = "a service runs the station";
    WizardModel model(refused);
    model.choose(1);
    EXPECT_FALSE(model.nextEnabled());
    EXPECT_EQ(model.notice(), "a service runs the station");
    model.choose(0);
    EXPECT_EQ(model.notice(), "");
    model.next();

    model.setFolderText("Brisko");
    model.next();
    EXPECT_EQ(model.step(), 1);
    EXPECT_NE(model.notice().find("\"Brisko\" is not a full path"), std::string::npos);
    model.setFolderText("~/apps//Brisko/");
    model.next();
    EXPECT_EQ(model.step(), 2);
    EXPECT_EQ(model.notice(), "");
    EXPECT_NE(model.summary().find("\r\nInstallation folder: /home/desk/apps/Brisko\r\n"), std::string::npos);
}

// Listing and removing found files is the dialog test's; here what stops a removal.
TEST(WizardModel, RemovalOfNothingOrOfTheSourceCannotGoOn)
{
    installer::test::TempFolder temp;
    WizardSetup removal = setup();
    removal.removalFolder = (temp / "Tamblo").string();
    removal.logonStartFolder = temp / "autostart";
    WizardModel model(removal);
    model.choose(WizardModel::kRemovalChoice);
    model.next();
    EXPECT_EQ(model.folder(), removal.removalFolder);
    model.next();
    EXPECT_EQ(model.summary(), "Removal\r\n-------\r\nInstallation folder: " + removal.removalFolder +
                                   "\r\nNothing that this installer puts there was found.\r\n");
    EXPECT_FALSE(model.nextEnabled());
    EXPECT_EQ(model.nextCaption(), "Remove");
    EXPECT_EQ(model.verdict({false, "Cannot remove it: Permission denied"}),
              "Removal failed\nCannot remove it: Permission denied");

    model.back();
    model.setFolderText("/media/usb/");
    model.next();
    EXPECT_EQ(model.step(), 1);
    EXPECT_NE(model.notice().find("is not an installation"), std::string::npos);
}

TEST(FolderText, TildeIsTheHomeFolderAndRelativeTextIsRefused)
{
    using installer::folderFromText;
    EXPECT_EQ(folderFromText("~", "/home/desk").folder, "/home/desk");
    EXPECT_EQ(folderFromText("~/x/../Tamblo/", "/home/desk").folder, "/home/desk/Tamblo");
    EXPECT_EQ(folderFromText("/opt//Brisko", "").folder, "/opt/Brisko");
    for (const char* text : {"", "Tamblo", "./Tamblo", "~bob/Tamblo", "/opt/Tamblo\nExec=/bin/sh"})
        EXPECT_NE(folderFromText(text, "/home/desk").refusal, "") << text;
    EXPECT_NE(folderFromText("~/Tamblo", "").refusal, "");
}

TEST(FolderText, RefusalsSayWhatToTypeInstead)
{
    using installer::folderFromText;
    EXPECT_EQ(folderFromText("/opt/Tamblo\nExec=/bin/sh", "/home/desk").refusal,
              "The installation folder holds a line break or another control character.");
    EXPECT_EQ(folderFromText("~/Tamblo", "").refusal,
              "The home folder is not known: type the installation folder's full path.");
}

TEST(InstallerOptions, FromNamesTheSourceElseTheInstallersOwnFolder)
{
    using installer::parseInstallerOptions;
    EXPECT_EQ(parseInstallerOptions({"--from", "dist"}).from, "dist");
    EXPECT_EQ(parseInstallerOptions({"--from=/media/usb", "--help"}).from, "/media/usb");
    EXPECT_EQ(parseInstallerOptions({"--from"}).error, "--from needs a folder");

    installer::test::TempFolder temp;
    fs::create_directories(temp / "dist");
    EXPECT_EQ(installer::chooseSourceFolder(std::nullopt, temp.path(), "/usr/bin").folder, "/usr/bin");
    EXPECT_EQ(installer::chooseSourceFolder("dist/", temp.path(), "/usr/bin").folder, temp / "dist");
    EXPECT_EQ(installer::chooseSourceFolder("missing", temp.path(), "/usr/bin").error,
              "--from missing: No such file or directory");
    EXPECT_NE(installer::chooseSourceFolder(std::nullopt, temp.path(), "").error, "");
}

TEST(InstallerOptions, RefusalsNameWhatIsWrong)
{
    EXPECT_EQ(installer::parseInstallerOptions({"--quiet"}).error, "unknown option: --quiet");
    EXPECT_EQ(installer::parseInstallerOptions({"--from="}).error, "--from needs a folder");
    installer::test::TempFolder temp;
    installer::test::writeFile(temp / "file", "");
    EXPECT_EQ(installer::chooseSourceFolder("file", temp.path(), "/usr/bin").error, "--from file: not a folder");
    EXPECT_EQ(installer::chooseSourceFolder(std::nullopt, temp.path(), "").error,
              "the folder of this program is not known; name the programs' folder with --from FOLDER");
}

} // namespace
