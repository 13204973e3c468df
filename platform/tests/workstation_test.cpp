#include "platform/workstation_shutdown.h"
#include "platform/workstation_task_keys.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace platform {

TEST(PowerOff, ReportsWhetherTheSystemTookTheRequest)
{
    // Stand-in commands: the machine running the tests is never switched off.
    EXPECT_EQ(requestPowerOff({"true"}), std::nullopt);
    auto refused = requestPowerOff({"false"});
    ASSERT_TRUE(refused);
    EXPECT_NE(refused->find("status 1"), std::string::npos) << *refused;
    EXPECT_TRUE(requestPowerOff({"/no/such/power-off-command"}));
    EXPECT_TRUE(requestPowerOff({}));
    EXPECT_EQ(defaultPowerOffCommand(), (std::vector<std::string>{"systemctl", "poweroff"}));
}

TEST(TaskKeyLibrary, MissingLibraryIsHarmless)
{
    auto library = TaskKeyLibrary::load(std::filesystem::temp_directory_path() / "no-such-folder");
    EXPECT_FALSE(library.isLoaded());
    EXPECT_FALSE(library.disableTaskKeys(true));
    EXPECT_FALSE(library.disableTaskKeys(false));
    EXPECT_STREQ(TaskKeyLibrary::fileName(), "libHushtab.so");
}

} // namespace platform
