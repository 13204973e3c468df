// The real installation into temporary folders: copies, the logon entry,
// and each way it can fail.
#include "installer/installation.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>

using namespace installer_test;
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
        return {program, source(), folder, autostart()};
    }

    TempFolder temp;
};

TEST_F(Installation, ConsoleCopiesBothProgramsAndWritesNoLogonEntry)
{
    const fs::path folder = temp / "Brisko";
    auto outcome = installer::install(plan(InstallProgram::Console, folder.string()));
    EXPECT_TRUE(outcome.succeeded);
    EXPECT_TRUE(outcome.notes.empty());
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
    EXPECT_NE(text.find("\nExec=\"" + temp.path().string() + "/Cafe \\\\$1 50%% off/tamblo-supervisor\" --dir .\n"), std::string::npos)
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

TEST_F(Installation, RelativeFolderIsTakenFromTheSourceFolder)
{
    auto outcome = installer::install(plan(InstallProgram::Workstation, "Tamblo"));
    ASSERT_TRUE(outcome.succeeded);
    EXPECT_TRUE(fs::exists(source() / "Tamblo" / "tamblo"));
    EXPECT_NE(readFile(autostart() / "Tamblo.desktop").find("Exec=" + (source() / "Tamblo" / "tamblo-supervisor").string()),
              std::string::npos);
}

TEST_F(Installation, MissingParentFolderFailsWithoutFurtherText)
{
    for (auto program : {InstallProgram::Console, InstallProgram::Workstation}) {
        auto outcome = installer::install(plan(program, (temp / "missing" / "Brisko").string()));
        EXPECT_FALSE(outcome.succeeded);
        EXPECT_TRUE(outcome.notes.empty());
        EXPECT_FALSE(fs::exists(temp / "missing"));
    }
    EXPECT_FALSE(installer::install(plan(InstallProgram::Console, "")).succeeded);
}

TEST_F(Installation, MissingProgramGivesTheSystemTextThenFails)
{
    fs::remove(source() / "tamblo");
    auto outcome = installer::install(plan(InstallProgram::Workstation, (temp / "Tamblo").string()));
    EXPECT_FALSE(outcome.succeeded);
    EXPECT_EQ(outcome.notes, std::vector<std::string>{"No such file or directory"});
    EXPECT_FALSE(fs::exists(autostart()));
    EXPECT_TRUE(fs::is_empty(temp / "Tamblo")); // no temporary copy stays behind
}

TEST_F(Installation, FolderInPlaceOfTheProgramIsRefusedWithItsText)
{
    fs::remove(source() / "brisko");
    fs::create_directory(source() / "brisko");
    auto outcome = installer::install(plan(InstallProgram::Console, (temp / "Brisko").string()));
    EXPECT_FALSE(outcome.succeeded);
    EXPECT_EQ(outcome.notes, std::vector<std::string>{"Is a directory"});
}

TEST_F(Installation, MissingCompanionFailsSilentlyAndKeepsTheProgram)
{
    fs::remove(source() / "libHushtab.so");
    const fs::path folder = temp / "Tamblo";
    auto outcome = installer::install(plan(InstallProgram::Workstation, folder.string()));
    EXPECT_FALSE(outcome.succeeded);
    EXPECT_TRUE(outcome.notes.empty());
    EXPECT_TRUE(fs::exists(folder / "tamblo"));
    EXPECT_FALSE(fs::exists(autostart()));

    fs::remove(source() / "brisko-admin");
    outcome = installer::install(plan(InstallProgram::Console, (temp / "Brisko").string()));
    EXPECT_FALSE(outcome.succeeded);
    EXPECT_TRUE(outcome.notes.empty());
}

TEST_F(Installation, LogonFolderThatCannotBeMadeFails)
{
    writeFile(temp / "config", "a file where the folder should be");
    auto outcome = installer::install(plan(InstallProgram::Workstation, (temp / "Tamblo").string()));
    EXPECT_FALSE(outcome.succeeded);
    EXPECT_TRUE(outcome.notes.empty());
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

} // namespace
