// The setup code: the owner's code in "TambloSetup", the built-in code only
// while none is set, and the pauses after wrong tries.
#include "client/setup_code_file.h"
#include "client/setup_code_guard.h"
#include "client/station_setup_command.h"
#include "link/cafe_key.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <sstream>

namespace client::test {

namespace {

const std::string kOwnersCode = "Caf3-Owner!";

} // namespace

TEST(SetupCodeFileTest, StoredCodeIsASaltedDerivationAndSurvivesReopening)
{
    TempFolder folder;
    auto path = folder.path() / "TambloSetup";
    std::string first;
    {
        SetupCodeFile file(path);
        ASSERT_TRUE(file.load());
        EXPECT_EQ(file.status(), SetupCodeFile::Status::BuiltIn);
        EXPECT_TRUE(file.matches("k7#w"));
        ASSERT_TRUE(file.store(kOwnersCode));
        first = readFile(path);
        ASSERT_TRUE(file.store(kOwnersCode));
    }
    std::string second = readFile(path);
    ASSERT_EQ(second.size(), 56u);
    EXPECT_EQ(second.substr(0, 4), "TSC1");
    EXPECT_EQ(second.substr(4, 4), std::string("\xA0\x86\x01\x00", 4)); // 100000 rounds
    EXPECT_NE(first.substr(8, 16), second.substr(8, 16));               // a fresh salt each time
    EXPECT_EQ(second.find(kOwnersCode), std::string::npos);

    SetupCodeFile reopened(path);
    ASSERT_TRUE(reopened.load());
    EXPECT_EQ(reopened.status(), SetupCodeFile::Status::OwnersCode);
    EXPECT_TRUE(reopened.matches(kOwnersCode));
    EXPECT_FALSE(reopened.matches("k7#w"));
    EXPECT_FALSE(reopened.matches("caf3-owner!"));
    EXPECT_FALSE(reopened.matches(kOwnersCode + "x"));
    EXPECT_FALSE(reopened.matches(""));
}

TEST(SetupCodeFileTest, DamagedFileOpensNothingRatherThanTheBuiltInCode)
{
    TempFolder folder;
    auto path = folder.path() / "TambloSetup";
    {
        SetupCodeFile file(path);
        ASSERT_TRUE(file.load());
        ASSERT_TRUE(file.store(kOwnersCode));
    }
    std::string good = readFile(path);
    std::string wrongMarker = "XSC1" + good.substr(4);
    std::string hugeCount = good.substr(0, 4) + std::string("\xFF\xFF\xFF\x7F", 4) + good.substr(8);
    for (const std::string& bad : {good.substr(0, 55), good + "x", wrongMarker, hugeCount, std::string("k7#w")}) {
        writeFile(path, bad);
        SetupCodeFile file(path);
        ASSERT_TRUE(file.load());
        EXPECT_EQ(file.status(), SetupCodeFile::Status::Damaged) << bad.size();
        EXPECT_FALSE(file.matches("k7#w"));
        EXPECT_FALSE(file.matches(kOwnersCode));
    }
}

TEST(SetupCodeFileTest, CodesThatCannotBeTypedAreRefused)
{
    EXPECT_FALSE(SetupCodeFile::problemWith("abcd"));
    EXPECT_FALSE(SetupCodeFile::problemWith(std::string(32, '~')));
    EXPECT_TRUE(SetupCodeFile::problemWith("abc"));
    EXPECT_TRUE(SetupCodeFile::problemWith(std::string(33, 'a')));
    EXPECT_TRUE(SetupCodeFile::problemWith("ab cd"));
    EXPECT_TRUE(SetupCodeFile::problemWith("caf\xC3\xA9"));
    EXPECT_TRUE(SetupCodeFile::problemWith(std::string("ab\0cd", 5)));

    TempFolder folder;
    SetupCodeFile file(folder.path() / "TambloSetup");
    ASSERT_TRUE(file.load());
    EXPECT_FALSE(file.store("abc"));
    EXPECT_EQ(file.status(), SetupCodeFile::Status::BuiltIn);
    EXPECT_EQ(readFile(folder.path() / "TambloSetup"), "");
}

TEST(SetupCodeGuardTest, PausesGrowAfterTheFreeTriesAndEndOnTheirOwn)
{
    ManualSteadyClock clock;
    SetupCodeGuard guard(clock);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(guard.recordWrongTry(), 0s);
        EXPECT_FALSE(guard.isPaused());
    }
    EXPECT_EQ(guard.recordWrongTry(), 30s);
    EXPECT_TRUE(guard.isPaused());
    clock.advance(29999ms);
    EXPECT_TRUE(guard.isPaused());
    clock.advance(1ms);
    EXPECT_FALSE(guard.isPaused());

    EXPECT_EQ(guard.recordWrongTry(), 60s);
    clock.advance(60s);
    EXPECT_EQ(guard.recordWrongTry(), 120s);
    for (int i = 0; i < 100; ++i)
        guard.recordWrongTry();
    EXPECT_EQ(guard.recordWrongTry(), 3600s);

    guard.recordMatch();
    EXPECT_FALSE(guard.isPaused());
    EXPECT_EQ(guard.recordWrongTry(), 0s);
}

class SetupCodeEngineTest : public ::testing::Test {
protected:
    TempFolder folder;
    RecordingWorkstation workstation;
    TestHost host;
    ManualSteadyClock clock;
    std::unique_ptr<ClientEngine> engine;

    void SetUp() override { restart(); }
    void restart()
    {
        engine.reset();
        engine = std::make_unique<ClientEngine>(host, workstation,
                                                EngineSettings{StationFolders::allIn(folder.path()), true, {}}, clock);
        engine->start(testScreen());
    }
    // Types the text and Enter; true when setup mode began.
    bool enter(const std::string& text)
    {
        for (char c : text)
            engine->onCharacter(c);
        return engine->onCharacter('\r');
    }
    void setOwnersCode()
    {
        ASSERT_TRUE(enter("k7#w"));
        ASSERT_EQ(engine->changeSetupCode(kOwnersCode, kOwnersCode), std::nullopt);
        engine->confirmEndSession(); // EXIT SETUP
        ASSERT_TRUE(engine->state().locked);
    }
};

TEST_F(SetupCodeEngineTest, OwnersCodeReplacesTheBuiltInOneAlsoAfterARestart)
{
    EXPECT_FALSE(engine->hasOwnersSetupCode());
    setOwnersCode();
    EXPECT_TRUE(engine->hasOwnersSetupCode());
    EXPECT_FALSE(enter("k7#w"));
    EXPECT_TRUE(engine->state().locked);
    EXPECT_TRUE(enter(kOwnersCode));
    EXPECT_TRUE(engine->state().setupMode);
    engine->confirmEndSession();

    restart();
    EXPECT_TRUE(engine->hasOwnersSetupCode());
    EXPECT_FALSE(enter("k7#w"));
    EXPECT_FALSE(engine->state().setupMode);
    EXPECT_TRUE(enter(kOwnersCode));
    EXPECT_TRUE(contains(logLines(folder.path()), "Owner's setup code set."));
}

TEST_F(SetupCodeEngineTest, ChangeIsRefusedWhenTheCodesDifferOrCannotBeTyped)
{
    ASSERT_TRUE(enter("k7#w"));
    EXPECT_EQ(engine->changeSetupCode(kOwnersCode, kOwnersCode + "x"), "The two setup codes differ.");
    EXPECT_TRUE(engine->changeSetupCode("abc", "abc").has_value());
    EXPECT_FALSE(engine->hasOwnersSetupCode());
    EXPECT_EQ(readFile(folder.path() / "TambloSetup"), "");
}

TEST_F(SetupCodeEngineTest, SixWrongCodesPauseTypingEvenForTheRightCode)
{
    setOwnersCode();
    for (int i = 0; i < 6; ++i)
        EXPECT_FALSE(enter("guess" + std::to_string(i)));
    // The 5th wrong try started a 30 s pause; the 6th was not even read.
    auto lines = logLines(folder.path());
    EXPECT_EQ(lines.back(), "Wrong setup code 5 times: typing ignored for 30 s.");
    EXPECT_FALSE(enter(kOwnersCode));
    EXPECT_TRUE(engine->state().locked);
    EXPECT_EQ(engine->state().typedCharacters, "");

    clock.advance(29s);
    EXPECT_FALSE(enter(kOwnersCode));
    clock.advance(1s);
    EXPECT_FALSE(enter("guess6")); // the next wrong try pauses twice as long
    EXPECT_EQ(logLines(folder.path()).back(), "Wrong setup code 6 times: typing ignored for 60 s.");
    clock.advance(59s);
    EXPECT_FALSE(enter(kOwnersCode));
    clock.advance(1s);
    EXPECT_TRUE(enter(kOwnersCode));
    engine->confirmEndSession();

    // The right code starts the count again.
    for (int i = 0; i < 4; ++i)
        EXPECT_FALSE(enter("guess"));
    EXPECT_TRUE(enter(kOwnersCode));
}

TEST_F(SetupCodeEngineTest, BareEnterIsNoTry)
{
    for (int i = 0; i < 20; ++i)
        EXPECT_FALSE(engine->onCharacter('\r'));
    EXPECT_TRUE(enter("k7#w"));
}

TEST_F(SetupCodeEngineTest, DamagedCodeFileKeepsTheStationShut)
{
    engine.reset();
    writeFile(folder.path() / "TambloSetup", "k7#w");
    restart();
    EXPECT_FALSE(enter("k7#w"));
    EXPECT_TRUE(
        contains(logLines(folder.path()), "TambloSetup is damaged: no setup code is accepted until it is deleted."));
}

// An installed station keeps its files in three folders and accepts no
// built-in code: only the code its owner set with tamblo-setup opens setup.
TEST(InstalledStationTest, NoCodeOpensSetupUntilTheOwnerSetsOneWithTambloSetup)
{
    TempFolder root;
    const StationFolders folders{root.path() / "etc", root.path() / "lib", root.path() / "log"};
    for (const auto& folder : {folders.config, folders.state, folders.log})
        std::filesystem::create_directory(folder);
    RecordingWorkstation workstation;
    TestHost host;
    ManualSteadyClock clock;
    auto station = [&] {
        auto engine = std::make_unique<ClientEngine>(host, workstation, EngineSettings{folders, false, {}}, clock);
        engine->start(testScreen());
        return engine;
    };
    auto typeCode = [](ClientEngine& engine, const std::string& text) {
        for (char c : text)
            engine.onCharacter(c);
        return engine.onCharacter('\r');
    };
    auto setup = [&](std::vector<std::string> args, const std::string& input, std::string* output = nullptr) {
        args.insert(args.begin(), {"--dir", folders.config.string()});
        std::istringstream in(input);
        std::ostringstream out, err;
        int status = runStationSetup(args, in, out, err);
        if (output)
            *output = out.str() + err.str();
        return status;
    };

    auto engine = station();
    EXPECT_FALSE(typeCode(*engine, "k7#w"));
    EXPECT_TRUE(engine->state().locked);
    EXPECT_TRUE(contains(logLines(folders.log), "No setup code is set: the owner sets one with tamblo-setup."));

    // A typo anywhere changes nothing at all.
    const auto key = stationlink::CafeKey::generate();
    ASSERT_TRUE(key);
    std::string said;
    EXPECT_EQ(setup({"--server", "10.0.0.300", "--code-from-stdin"}, "Owner-42\n", &said), 2);
    EXPECT_EQ(setup({"--server", "10.0.0.1", "--code", "ab"}, "", &said), 2);
    EXPECT_NE(said.find("4 to 32 characters"), std::string::npos) << said;
    EXPECT_EQ(setup({"--server", "10.0.0.1", "--key", "not-a-key"}, "", &said), 2);
    EXPECT_EQ(readFile(folders.config / "TambloConfig"), "");
    EXPECT_EQ(readFile(folders.config / "TambloSetup"), "");

    // The running station holds its files: it is stopped first.
    EXPECT_EQ(setup({"--server", "10.0.0.1"}, "", &said), 1);
    EXPECT_NE(said.find("stop it first (systemctl stop tamblo)"), std::string::npos) << said;
    engine.reset();
    ASSERT_EQ(setup({"--server", "10.0.0.1", "--code-from-stdin", "--key", key->code()}, "Owner-42\r\n"), 0);
    EXPECT_EQ(std::filesystem::status(folders.config / "TambloSetup").permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    EXPECT_EQ(setup({"--show"}, "", &said), 0);
    EXPECT_NE(said.find("Console address: 10.0.0.1\nSetup code: set\nCafe's key: kept\n"), std::string::npos) << said;

    engine = station();
    EXPECT_FALSE(typeCode(*engine, "k7#w"));
    EXPECT_TRUE(typeCode(*engine, "Owner-42"));
    EXPECT_TRUE(engine->maintenanceAllowed());
    // Shown while the station holds its files.
    EXPECT_EQ(setup({"--show"}, "", &said), 0);
    EXPECT_NE(said.find("Console address: 10.0.0.1\nSetup code: set\n"), std::string::npos) << said;
    EXPECT_FALSE(std::filesystem::exists(folders.config / "Tamblo.log"));
}

} // namespace client::test
