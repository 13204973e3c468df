// Printed pages end to end: real jobs on a private cupsd, the CUPS monitor in
// a real console engine with real stations, and the lines that reach the
// bills and the activity log.
#include "cups_daemon_fixture.h"

#include "print/cups_print_monitor.h"
#include "print/print_monitor_log.h"
#include "cafe.h"

#include "console/texts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

namespace print::test {
namespace {

using namespace std::chrono_literals;
using console::test::ConsoleRig;
using console::test::TempFolder;

class PrintChargingEndToEnd : public CupsDaemonFixture {
protected:
    void SetUp() override
    {
        // "photo" is not in the printer table.
        ASSERT_NO_FATAL_FAILURE(startDaemon({{"laser"}, {"photo"}}));
        if (IsSkipped())
            return;
        using console::test::stationAddress;
        console::test::writeClients(
            folder.path(), {{"PC1", stationAddress(0)}, {"PC2", stationAddress(1)}, {"PC3", stationAddress(2)}});
        console::test::writeStandardRates(folder.path());
        console::test::writePrinters(folder.path(), {{daemon->serverName(), "laser", 0.10}});

        PrintMonitorSettings settings;
        settings.memoryFile = folder.path() / "BriskoPrinted";
        settings.spoolFolder = daemon->spoolFolder();
        monitor = std::make_unique<CupsPrintMonitor>(settings);
        // The rig's engine, with the CUPS monitor in place of the scripted one.
        console::ConsoleSettings consoleSettings;
        consoleSettings.folder = folder.path();
        consoleSettings.makeKey = false; // the test's stations hold no key
        consoleSettings.link.listenAddress = console::test::kConsoleAddress;
        rig.engine = std::make_unique<console::ConsoleEngine>(
            consoleSettings, rig.clock,
            console::ConsoleServices{rig.prompts, rig.password, rig.price, rig.beeper, rig.printer,
                                     rig.configurationHost, monitor.get()});
        ASSERT_EQ(rig.engine->startUp(), console::ConsoleEngine::StartResult::Running);
        ASSERT_TRUE(monitor->running());

        cafe = std::make_unique<console::test::Cafe>(rig);
        for (int i = 0; i < 3; ++i)
            cafe->addStation(i);
        ASSERT_TRUE(cafe->allReady());
        rig.select({1});
        rig.console().onStartPressed();
        ASSERT_TRUE(cafe->runUntil([&] { return rig.status(1) == console::kStatusStarted; }));
    }
    void TearDown() override
    {
        cafe.reset();
        rig.engine.reset();
    }

    std::filesystem::path pdf(int pages)
    {
        return writeFile(daemon->base() / ("doc" + std::to_string(pages) + ".pdf"), pdfDocument(pages));
    }
    // Money ticks (and the window's notice pass) until `done` or the limit.
    bool tickUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = 3s)
    {
        for (auto waited = 0ms; waited < limit; waited += 200ms) {
            logPrintMonitorNotices(*monitor, rig.console().activityLog());
            rig.tickAfter(1s);
            if (done())
                return true;
            cafe->runFor(200ms);
        }
        return done();
    }
    std::vector<std::string> printEvents()
    {
        std::vector<std::string> events;
        for (const std::string& e : console::test::logEvents(folder.path()))
            if (e.find("PRINT") != std::string::npos)
                events.push_back(e);
        return events;
    }
    const console::OpenBill* bill(const std::string& caption)
    {
        const auto& bills = rig.console().billPanel().openBills();
        const auto& captions = rig.console().view().bill.selector.entries;
        for (std::size_t k = 0; k < bills.size() && k < captions.size(); ++k)
            if (captions[k] == caption)
                return &bills[k];
        return nullptr;
    }

    TempFolder folder;
    ConsoleRig rig{folder.path(), console::test::noonOfTestDay()};
    std::unique_ptr<CupsPrintMonitor> monitor;
    std::unique_ptr<console::test::Cafe> cafe;
};

TEST_F(PrintChargingEndToEnd, PagesReachTheRightBillsAndNothingElseIsCharged)
{
    ASSERT_TRUE(daemon->print("laser", "Essay.pdf", pdf(3), 1, "pc2"));       // running session, by name
    ASSERT_TRUE(daemon->print("laser", "Tickets", pdf(2), 2, "127.0.0.2"));   // stopped station, by address
    ASSERT_TRUE(daemon->print("laser", "Stranger", pdf(1), 1, "UNKNOWN-PC")); // no such station
    ASSERT_TRUE(daemon->print("laser", "Counter", pdf(1)));                   // the counter: "localhost"
    ASSERT_TRUE(daemon->print("photo", "Unpriced", pdf(4), 1, "PC3"));        // no page price

    ASSERT_TRUE(tickUntil([&] { return printEvents().size() >= 2; }));
    cafe->runFor(1500ms);
    rig.tickAfter(1s);
    EXPECT_EQ(printEvents(), (std::vector<std::string>{"ADD PRINT ITEM,Pages (3): Essay.pdf,0.30",
                                                       "ADD PRINT ITEM,Pages (4): Tickets,0.40"}))
        << "in the order CUPS lists them";

    const console::OpenBill* running = bill("Open Bill: Comp#: 2");
    ASSERT_NE(running, nullptr);
    EXPECT_EQ(running->items, (std::vector<store::BillItem>{{"2", "Pages (3): Essay.pdf", "0.30"}}));
    EXPECT_EQ(rig.text(1, console::Column::Extras), "0.30");
    const console::OpenBill* stopped = bill("Comp#: 1");
    ASSERT_NE(stopped, nullptr);
    EXPECT_EQ(stopped->items, (std::vector<store::BillItem>{{"1", "Pages (4): Tickets", "0.40"}}));
    EXPECT_EQ(rig.console().billPanel().openBills().size(), 2u);
}

TEST_F(PrintChargingEndToEnd, AStoppedServerIsLoggedAndItsJobsChargedWhenItIsBack)
{
    daemon->stop();
    ASSERT_TRUE(tickUntil([&] { return !printEvents().empty(); }, 4s));
    EXPECT_EQ(printEvents(), std::vector<std::string>{serverLostNotice(daemon->serverName())});
    EXPECT_FALSE(monitor->charging());

    ASSERT_TRUE(daemon->start());
    ASSERT_TRUE(daemon->print("laser", "Late", pdf(2), 1, "PC3"));
    ASSERT_TRUE(tickUntil([&] { return printEvents().size() >= 3; }, 5s));
    EXPECT_EQ(printEvents(),
              (std::vector<std::string>{serverLostNotice(daemon->serverName()), serverBackNotice(daemon->serverName()),
                                        "ADD PRINT ITEM,Pages (2): Late,0.20"}));
    EXPECT_TRUE(monitor->charging());
}

TEST_F(PrintChargingEndToEnd, NoPrintersMeansNoMonitor)
{
    rig.select({1});
    rig.console().onStopPressed();
    cafe.reset();
    rig.engine.reset();
    EXPECT_FALSE(monitor->running()) << "the console's exit stopped it";
    console::test::writePrinters(folder.path(), {});
    rig.engine = std::make_unique<console::ConsoleEngine>(
        console::ConsoleSettings{folder.path(), {}, false}, rig.clock,
        console::ConsoleServices{rig.prompts, rig.password, rig.price, rig.beeper, rig.printer, rig.configurationHost,
                                 monitor.get()});
    ASSERT_TRUE(rig.engine->openFiles());
    ASSERT_TRUE(rig.engine->checkOperatorPassword());
    (void)rig.engine->startStations(); // only the print monitor counts here, not the stations' port
    EXPECT_FALSE(monitor->running());
}

} // namespace
} // namespace print::test
