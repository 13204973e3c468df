// Where the console's data live: one folder whatever the start's working
// folder, the owner's remembered choice first, and the check for a cafe.

#include "store/data_folder.h"

#include "testsupport/temp_folder.h"
#include "testsupport/whole_file.h"

#include <gtest/gtest.h>

namespace store::test {

using testsupport::TempFolder;

TEST(DataFolder, TheDefaultThenTheRememberedChoiceAndNeverTheWorkingFolder)
{
    TempFolder home;
    const UserFolders user{home.path(), home.path() / "data", home.path() / "config"};
    EXPECT_EQ(chooseDataFolder(std::nullopt, user).path, home.path() / "data" / "brisko");
    EXPECT_EQ(chooseDataFolder(std::nullopt, user).source, DataFolder::Source::Default);
    EXPECT_EQ(chooseDataFolder(home.path() / "given", user).source, DataFolder::Source::Given);

    // Remembered as an absolute path, whatever folder it was named from.
    const auto here = std::filesystem::current_path();
    std::filesystem::current_path(home.path());
    EXPECT_EQ(rememberDataFolder(user, "cafe"), std::nullopt);
    std::filesystem::current_path(here);
    const auto chosen = chooseDataFolder(std::nullopt, user);
    EXPECT_EQ(chosen.path, home.path() / "cafe");
    EXPECT_EQ(chosen.source, DataFolder::Source::Remembered);
    EXPECT_EQ(chooseDataFolder(home.path() / "other", user).path, home.path() / "other") << "--dir still wins";

    EXPECT_FALSE(holdsCafe(chosen.path));
    std::filesystem::create_directories(chosen.path);
    testsupport::writeFile(chosen.path / "BriskoBills", "");
    EXPECT_TRUE(holdsCafe(chosen.path)) << "the books of a cafe whose configuration was lost";
    std::filesystem::remove(chosen.path / "BriskoBills");
    testsupport::writeFile(chosen.path / "BriskoConfig", "");
    EXPECT_TRUE(holdsCafe(chosen.path));

    EXPECT_EQ(shownFolder(home.path() / "data" / "brisko", user), "~/data/brisko");
    EXPECT_EQ(shownFolder("/srv/cafe", user), "/srv/cafe");
}

TEST(DataFolder, TheEnvironmentNamesTheUsersFolders)
{
    const char* keep[] = {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME"};
    std::vector<std::optional<std::string>> kept;
    for (const char* name : keep)
        kept.push_back(std::getenv(name) ? std::optional<std::string>(std::getenv(name)) : std::nullopt);
    setenv("HOME", "/home/owner", 1);
    setenv("XDG_DATA_HOME", "relative/ignored", 1);
    setenv("XDG_CONFIG_HOME", "/etc/owner-config", 1);
    const auto user = UserFolders::fromEnvironment();
    EXPECT_EQ(user.dataHome, "/home/owner/.local/share");
    EXPECT_EQ(user.settingsFile(), "/etc/owner-config/brisko/brisko.conf");
    for (std::size_t i = 0; i < kept.size(); ++i)
        kept[i] ? setenv(keep[i], kept[i]->c_str(), 1) : unsetenv(keep[i]);
}

} // namespace store::test
