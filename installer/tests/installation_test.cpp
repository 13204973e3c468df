// The real installation into temporary folders: copies, the logon entry,
// each way it can fail, the station checks and the removal.
#include "installer/installation.h"
#include "installer/removal.h"
#include "installer/station_checks.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>

using namespace installer::test;
using installer::InstallPlan;
using platform::InstallProgram;

namespace {

class Installation : public ::testing::Test {
protected:
    Installation()
    {
        fs::create_directories(source());
        writeFile(source() / "brisko", "console program");
        writeFile(source() / "brisko-admin", "admin program");
        writeFile(source() / "tamblo", "station program");
        writeFile(source() / "libHushtab.so", "task-key library");
        writeFile(source() / "tamblo-supervisor", "station supervisor");
        fs::permissions(source() / "brisko", fs::perms(0755));
        fs::permissions(source() / "tamblo", fs::perms(0755));
        fs::permissions(source() / "tamblo-supervisor", fs::perms(0755));
    }

    fs::path source() const { return temp / "source"; }
    fs::path autostart() const { return temp / "config" / "autostart"; }

    InstallPlan plan(InstallProgram program, const std::string& folder) const
    {
        return {program, source(), folder, autostart(), temp / "home"};
    }

    TempFolder temp;
};

TEST_F(Installation, ConsoleCopiesBothProgramsAndWritesNoLogonEntry)
{
    const fs::path folder = temp / "Brisko";
    auto outcome = installer::install(plan(InstallProgram::Console, folder.string()));
    EXPECT_TRUE(outcome.succeeded);
    EXPECT_TRUE(outcome.reason.empty());
    EXPECT_EQ(readFile(folder / "brisko"), "console program");
    EXPECT_EQ(readFile(folder / "brisko-admin"), "admin program");
    EXPECT_FALSE(fs::exists(folder / "tamblo"));
    EXPECT_FALSE(fs::exists(autostart()));
    // Still a program: the execute bits travel with the copy.
    EXPECT_EQ(fs::status(folder / "brisko").permissions() & fs::perms::owner_exec, fs::perms::owner_exec);
}

TEST_F(Installation, WorkstationWritesAValidLogonEntryWithTheFullPath)
{
    const fs::path folder = temp / "Tamblo";
    auto outcome = installer::install(plan(InstallProgram::Workstation, folder.string()));
    ASSERT_TRUE(outcome.succeeded);
    EXPECT_EQ(readFile(folder / "tamblo"), "station program");
    EXPECT_EQ(readFile(folder / "libHushtab.so"), "task-key library");
    EXPECT_EQ(readFile(folder / "tamblo-supervisor"), "station supervisor");

    // The logon start runs the supervisor, which brings the station back when it is killed.
    const fs::path entry = autostart() / "Tamblo.desktop";
    const std::string text = readFile(entry);
    EXPECT_NE(text.find("\nExec=" + (folder / "tamblo-supervisor").string() + " --dir .\n"), std::string::npos) << text;
    EXPECT_EQ(text.rfind("[Desktop Entry]\n", 0), 0u);
#ifdef DESKTOP_FILE_VALIDATE
    EXPECT_EQ(std::system((std::string(DESKTOP_FILE_VALIDATE) + " '" + entry.string() + "'").c_str()), 0);
#endif
}

TEST_F(Installation, FolderWithReservedCharactersIsQuotedInTheLogonEntry)
{
    const fs::path folder = temp / "Cafe $1 50% off";
    ASSERT_TRUE(installer::install(plan(InstallProgram::Workstation, folder.string())).succeeded);
    const std::string text = readFile(autostart() / "Tamblo.desktop");
    EXPECT_NE(text.find("\nExec=\"" + temp.path().string() + "/Cafe \\\\$1 50%% off/tamblo-supervisor\" --dir .\n"),
              std::string::npos)
        << text;
#ifdef DESKTOP_FILE_VALIDATE
    const fs::path entry = autostart() / "Tamblo.desktop";
    EXPECT_EQ(std::system((std::string(DESKTOP_FILE_VALIDATE) + " '" + entry.string() + "'").c_str()), 0);
#endif
}

TEST_F(Installation, FolderWithALineBreakFailsBeforeItCanAddLinesToTheEntry)
{
    const fs::path folder = temp / "Tamblo\nExec=/bin/sh";
    auto outcome = installer::install(plan(InstallProgram::Workstation, folder.string()));
    EXPECT_FALSE(outcome.succeeded);
    EXPECT_FALSE(fs::exists(autostart() / "Tamblo.desktop"));
}

TEST_F(Installation, RelativeFolderIsRefusedAndTildeIsTheHomeFolder)
{
    auto outcome = installer::install(plan(InstallProgram::Workstation, "Tamblo"));
    EXPECT_FALSE(outcome.succeeded);
    EXPECT_EQ(outcome.reason,
              "The installation folder \"Tamblo\" is not a full path: type one that starts with / or ~/.");
    EXPECT_FALSE(fs::exists(source() / "Tamblo"));

    ASSERT_TRUE(installer::install(plan(InstallProgram::Workstation, "~/.local/opt/Tamblo/")).succeeded);
    const fs::path folder = temp / "home" / ".local" / "opt" / "Tamblo";
    EXPECT_TRUE(fs::exists(folder / "tamblo"));
    EXPECT_NE(readFile(autostart() / "Tamblo.desktop").find("\nExec=" + (folder / "tamblo-supervisor").string() + " "),
              std::string::npos);
}

TEST_F(Installation, MissingParentFoldersAreMadeAndAFolderThatCannotBeIsNamed)
{
    const fs::path deep = temp / "missing" / "opt" / "Brisko";
    ASSERT_TRUE(installer::install(plan(InstallProgram::Console, deep.string())).succeeded);
    EXPECT_EQ(readFile(deep / "brisko"), "console program");

    writeFile(temp / "plain", "a file where a folder should be");
    auto outcome = installer::install(plan(InstallProgram::Console, (temp / "plain" / "Brisko").string()));
    EXPECT_FALSE(outcome.succeeded);
    EXPECT_EQ(outcome.reason, "Cannot make the folder " + (temp / "plain").string() + ": Not a directory");
    EXPECT_EQ(installer::install(plan(InstallProgram::Console, "")).reason, "No installation folder is given.");
}

TEST_F(Installation, MissingProgramIsNamedWithTheSystemTextBeforeAnythingIsMade)
{
    fs::remove(source() / "tamblo");
    auto outcome = installer::install(plan(InstallProgram::Workstation, (temp / "Tamblo").string()));
    EXPECT_FALSE(outcome.succeeded);
    EXPECT_EQ(outcome.reason, "Cannot read " + (source() / "tamblo").string() + ": No such file or directory");
    EXPECT_FALSE(fs::exists(autostart()));
    EXPECT_FALSE(fs::exists(temp / "Tamblo"));
}

TEST_F(Installation, FolderInPlaceOfTheProgramIsRefusedWithItsText)
{
    fs::remove(source() / "brisko");
    fs::create_directory(source() / "brisko");
    auto outcome = installer::install(plan(InstallProgram::Console, (temp / "Brisko").string()));
    EXPECT_FALSE(outcome.succeeded);
    EXPECT_EQ(outcome.reason, "Cannot read " + (source() / "brisko").string() + ": Is a directory");
}

TEST_F(Installation, MissingCompanionIsNamedAndNothingIsCopied)
{
    fs::remove(source() / "libHushtab.so");
    const fs::path folder = temp / "Tamblo";
    auto outcome = installer::install(plan(InstallProgram::Workstation, folder.string()));
    EXPECT_FALSE(outcome.succeeded);
    EXPECT_EQ(outcome.reason, "Cannot read " + (source() / "libHushtab.so").string() + ": No such file or directory");
    EXPECT_FALSE(fs::exists(folder / "tamblo"));
    EXPECT_FALSE(fs::exists(autostart()));

    fs::remove(source() / "brisko-admin");
    outcome = installer::install(plan(InstallProgram::Console, (temp / "Brisko").string()));
    EXPECT_FALSE(outcome.succeeded);
    EXPECT_NE(outcome.reason.find("brisko-admin"), std::string::npos);
}

TEST_F(Installation, LogonFolderThatCannotBeMadeFails)
{
    writeFile(temp / "config", "a file where the folder should be");
    auto outcome = installer::install(plan(InstallProgram::Workstation, (temp / "Tamblo").string()));
    EXPECT_FALSE(outcome.succeeded);
    const std::string entry = (autostart() / "Tamblo.desktop").string();
    EXPECT_EQ(outcome.reason.rfind("Cannot write the logon start entry " + entry + ": ", 0), 0u) << outcome.reason;
}

TEST_F(Installation, SecondAttemptAfterAFailureUsesTheSameSource)
{
    const fs::path folder = temp / "Tamblo";
    auto first = plan(InstallProgram::Workstation, folder.string());
    fs::rename(source() / "tamblo", temp / "tamblo.aside");
    EXPECT_FALSE(installer::install(first).succeeded);
    fs::rename(temp / "tamblo.aside", source() / "tamblo");
    auto second = installer::install(first);
    EXPECT_TRUE(second.succeeded);
    EXPECT_EQ(readFile(folder / "tamblo"), "station program");
}

TEST_F(Installation, FilesAlreadyPresentAreOverwritten)
{
    const fs::path folder = temp / "Tamblo";
    fs::create_directories(folder);
    fs::create_directories(autostart());
    writeFile(folder / "tamblo", "an older station program that is much longer than the new one");
    writeFile(folder / "libHushtab.so", "older library");
    writeFile(autostart() / "Tamblo.desktop", "[Desktop Entry]\nExec=/old/tamblo\n");
    ASSERT_TRUE(installer::install(plan(InstallProgram::Workstation, folder.string())).succeeded);
    EXPECT_EQ(readFile(folder / "tamblo"), "station program");
    EXPECT_EQ(readFile(folder / "libHushtab.so"), "task-key library");
    EXPECT_EQ(readFile(autostart() / "Tamblo.desktop").find("/old/"), std::string::npos);
    // Nothing else is left in the folders: no temporary copies.
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 3);
    EXPECT_EQ(std::distance(fs::directory_iterator(autostart()), fs::directory_iterator()), 1);
}

TEST_F(Installation, RemovalTakesOnlyTheInstalledFilesAndAnEntryThatStartsThatFolder)
{
    const fs::path first = temp / "Cafe $1 50% off";
    const fs::path second = temp / "Tamblo";
    ASSERT_TRUE(installer::install(plan(InstallProgram::Workstation, first.string())).succeeded);
    ASSERT_TRUE(installer::install(plan(InstallProgram::Console, first.string())).succeeded);
    writeFile(first / "notes.txt", "the owner's own file");
    const std::vector<fs::path> listed = {
        first / "brisko",        first / "brisko-admin",      first / "tamblo",
        first / "libHushtab.so", first / "tamblo-supervisor", autostart() / "Tamblo.desktop"};
    EXPECT_EQ(installer::filesToRemove({first, autostart()}), listed);

    // Once the entry starts the station of another folder, it stays.
    ASSERT_TRUE(installer::install(plan(InstallProgram::Workstation, second.string())).succeeded);
    ASSERT_TRUE(installer::uninstall({first, autostart()}).succeeded);
    EXPECT_EQ(std::distance(fs::directory_iterator(first), fs::directory_iterator()), 1); // notes.txt
    EXPECT_TRUE(fs::exists(autostart() / "Tamblo.desktop"));
    EXPECT_EQ(installer::uninstall({first, autostart()}).reason,
              "Nothing that this installer puts there is in " + first.string() + ".");

    ASSERT_TRUE(installer::uninstall({second, autostart()}).succeeded);
    EXPECT_FALSE(fs::exists(second)); // empty, so it goes too
    EXPECT_FALSE(fs::exists(autostart() / "Tamblo.desktop"));
    EXPECT_TRUE(fs::exists(source() / "tamblo"));
}

TEST(Removal, SourceFolderAndPackagedFoldersAreRefused)
{
    EXPECT_NE(installer::removalRefusal("/media/usb/", "/media/usb"), "");
    EXPECT_NE(installer::removalRefusal("/usr/bin", "/media/usb"), "");
    EXPECT_NE(installer::removalRefusal("/usr/libexec/tamblo", "/media/usb"), "");
    EXPECT_EQ(installer::removalRefusal("/usr/local/Tamblo", "/media/usb"), "");
    EXPECT_EQ(installer::removalRefusal("/opt/Tamblo", "/usr/bin"), "");
}

TEST(Removal, RefusalsNameTheFolderAndWhereItsFilesComeFrom)
{
    EXPECT_EQ(installer::removalRefusal("/media/usb/", "/media/usb"),
              "The programs are installed from /media/usb/; that folder is not an installation.");
    EXPECT_EQ(installer::removalRefusal("/usr/bin", "/media/usb"),
              "/usr/bin belongs to the system's packages: remove those with the package manager.");
}

TEST(StationChecks, ServiceCounterCafeAndSystemEntryEachRefuse)
{
    TempFolder temp;
    installer::StationMachine machine{{temp / "lib", temp / "usr-lib"},
                                      temp / "data",
                                      temp / "config",
                                      temp / "xdg-autostart",
                                      temp / "config" / "autostart"};
    for (const char* folder : {"data/brisko", "config/brisko", "xdg-autostart", "cafe", "usr-lib"})
        fs::create_directories(temp / folder); // an empty data folder holds no cafe
    writeFile(temp / "config" / "brisko" / "brisko.conf", "data-folder=" + (temp / "cafe").string() + "\n");
    EXPECT_EQ(installer::stationRefusal(machine), "");

    writeFile(temp / "xdg-autostart" / "Tamblo.desktop", "[Desktop Entry]\n");
    EXPECT_NE(installer::stationRefusal(machine).find(" already starts the station at logon;"), std::string::npos);
    EXPECT_FALSE(installer::hiddenSystemEntry(temp / "xdg-autostart", temp / "xdg-autostart/", "Tamblo"));

    writeFile(temp / "cafe" / "BriskoConfig", "");
    EXPECT_NE(
        installer::stationRefusal(machine).find("(" + (temp / "cafe").string() + "): the station's lock would lock"),
        std::string::npos);
    fs::remove(temp / "cafe" / "BriskoConfig");
    writeFile(temp / "data" / "brisko" / "BriskoBills", "");
    EXPECT_EQ(installer::counterCafeFolder(temp / "data", temp / "config"), temp / "data" / "brisko");

    writeFile(temp / "usr-lib" / "tamblo.service", "[Service]\n");
    EXPECT_EQ(installer::stationRefusal(machine),
              "The station is already installed here as a system service (" +
                  (temp / "usr-lib" / "tamblo.service").string() +
                  "). Change its settings with sudo dpkg-reconfigure tamblo or sudo tamblo-setup.");
}

} // namespace
