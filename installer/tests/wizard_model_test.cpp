// The wizard's steps, buttons, folder and summary, without a window.
#include "installer/wizard_model.h"

#include <gtest/gtest.h>

#include <cstdlib>

using installer::WizardModel;
using installer::WizardSetup;

namespace {

WizardSetup setup()
{
    return {"/media/usb", "/opt/Brisko", "/opt/Tamblo", "/etc/xdg/autostart"};
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

    auto machine = installer::machineSetup();
    const bool root = platform::runsAsAdministrator();
    EXPECT_EQ(machine.consoleFolder, (platform::defaultProgramsFolder(root) / "Brisko").string());
    EXPECT_EQ(machine.workstationFolder, (platform::defaultProgramsFolder(root) / "Tamblo").string());
    EXPECT_EQ(machine.source, std::filesystem::current_path());
}

} // namespace
