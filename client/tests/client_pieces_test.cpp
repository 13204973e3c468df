#include "client/panel_view.h"
#include "client/screen_rect.h"
#include "client/client_options.h"
#include "client/supervisor_options.h"
#include "client/text_encoding.h"

#include <gtest/gtest.h>

namespace client {

TEST(ScreenRects, FullScreenGrowsTheDesktopAndThePanelSitsOnTheWorkArea)
{
    ScreenGeometry screen{{0, 0, 1280, 800}, {0, 0, 1280, 760}};
    EXPECT_EQ(fullScreenRect(screen), (ScreenRect{-1, -2, 1281, 801}));
    // Right edge one pixel beyond the screen, bottom on the work area's bottom.
    EXPECT_EQ(panelRect(screen), (ScreenRect{1081, 560, 1281, 760}));

    ScreenGeometry topPanel{{0, 0, 1024, 768}, {0, 30, 1024, 768}};
    EXPECT_EQ(panelRect(topPanel), (ScreenRect{825, 568, 1025, 768}));
}

TEST(PanelBoxes, StrictBounds)
{
    EXPECT_TRUE(panel::inEndSessionBox(10, 90));
    EXPECT_TRUE(panel::inEndSessionBox(190, 150));
    EXPECT_FALSE(panel::inEndSessionBox(9, 100));
    EXPECT_FALSE(panel::inEndSessionBox(191, 100));
    EXPECT_FALSE(panel::inEndSessionBox(100, 89));
    EXPECT_FALSE(panel::inEndSessionBox(100, 151));

    EXPECT_TRUE(panel::inToggleBox(10, 160));
    EXPECT_TRUE(panel::inToggleBox(190, 180));
    EXPECT_FALSE(panel::inToggleBox(100, 159)); // the frame starts at 155, the box at 160
    EXPECT_FALSE(panel::inToggleBox(100, 181));
}

TEST(LockedText, CentredOnThePointerWithHalvesRoundedTowardZero)
{
    EXPECT_EQ(lockedTextOrigin(WindowPoint{400, 300}, 1282, 803, 201, 37), (WindowPoint{300, 282}));
    EXPECT_EQ(lockedTextOrigin(WindowPoint{0, 0}, 1282, 803, 200, 36), (WindowPoint{-100, -18}));
    // Before the first mouse move: the window's centre.
    EXPECT_EQ(lockedTextOrigin(std::nullopt, 1000, 800, 200, 40), (WindowPoint{400, 380}));
}

TEST(TextEncoding, CurrencyByteBecomesTheEuroSign)
{
    EXPECT_EQ(cp1252ToUtf8("\x80"
                           "2.50"),
              "\xE2\x82\xAC"
              "2.50");
    EXPECT_EQ(cp1252ToUtf8("caf\xE9"), "caf\xC3\xA9");
    EXPECT_EQ(cp1252ToUtf8("\x81"), "\xEF\xBF\xBD");
    EXPECT_EQ(cp1252ToUtf8(std::string("a\0b", 3)), std::string("a\0b", 3));
}

TEST(ClientOptions, DefaultsAndEveryOption)
{
    auto none = parseClientOptions({});
    EXPECT_TRUE(none.error.empty());
    EXPECT_FALSE(none.options.address);
    EXPECT_EQ(none.options.folders, StationFolders::installed());
    EXPECT_FALSE(none.options.oneFolder);
    EXPECT_FALSE(none.options.windowed);
    EXPECT_EQ(none.options.mainPort, 32000);

    auto all = parseClientOptions({"--address", "127.0.0.5", "--dir", "/tmp/x", "--windowed", "--port", "40123"});
    ASSERT_TRUE(all.error.empty()) << all.error;
    EXPECT_EQ(all.options.address->toString(), "127.0.0.5");
    EXPECT_EQ(all.options.folders, StationFolders::allIn("/tmp/x"));
    EXPECT_TRUE(all.options.oneFolder);
    EXPECT_TRUE(all.options.windowed);
    EXPECT_EQ(all.options.mainPort, 40123);

    EXPECT_FALSE(parseClientOptions({"--address", "10.0.0"}).error.empty());
    EXPECT_FALSE(parseClientOptions({"--address", "0.0.0.0"}).error.empty());
    EXPECT_FALSE(parseClientOptions({"--port", "70000"}).error.empty());
    EXPECT_FALSE(parseClientOptions({"--port"}).error.empty());
    EXPECT_FALSE(parseClientOptions({"--fullscreen"}).error.empty());
}

TEST(ClientOptions, GeometryIsAnAreaOfTheScreen)
{
    auto placed = parseClientOptions({"--windowed", "--area", "420x380+850+10"});
    ASSERT_TRUE(placed.error.empty()) << placed.error;
    ASSERT_TRUE(placed.options.windowArea);
    EXPECT_EQ(*placed.options.windowArea, (ScreenRect{850, 10, 1270, 390}));
    // Too small for the session panel, negative, or not four numbers.
    for (const char* bad : {"100x100+0+0", "400x400-5+0", "400x400+0", "400x400+0+0+", "x+0+0", ""})
        EXPECT_FALSE(parseClientOptions({"--area", bad}).error.empty()) << bad;
}

TEST(ClientOptions, RefusalsNameTheOptionOrTheValue)
{
    EXPECT_EQ(parseClientOptions({"--port"}).error, "--port needs a value");
    EXPECT_EQ(parseClientOptions({"--address", "10.0.0"}).error, "not an IPv4 address: 10.0.0");
    EXPECT_EQ(parseClientOptions({"--port", "70000"}).error, "not a port number: 70000");
    EXPECT_EQ(parseClientOptions({"--area", "x+0+0"}).error, "not an area WxH+X+Y: x+0+0");
    EXPECT_EQ(parseClientOptions({"--fullscreen"}).error, "unknown option: --fullscreen");

    EXPECT_EQ(parseSupervisorOptions({"--run-as"}).error, "--run-as needs a value");
    EXPECT_EQ(parseSupervisorOptions({"--kiosk-template", "/srv/home"}).error, "--kiosk-template needs --kiosk-user");
    EXPECT_EQ(parseSupervisorOptions({"--run-as", "desk", "--kiosk-user", "desk"}).error,
              "the customers' account cannot be the station's own: desk");
}

} // namespace client
