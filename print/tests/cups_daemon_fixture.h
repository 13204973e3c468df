#pragma once
// The base of the tests that print on a private CUPS daemon: starts the
// daemon with its queues, or skips the test where no daemon can run here.

#include "cups_daemon.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>

namespace print::test {

struct QueueSpec {
    const char* name;
    bool raw = false; // no driver: the job's pages are not counted by CUPS
};

class CupsDaemonFixture : public ::testing::Test {
protected:
    // Call first in SetUp, through ASSERT_NO_FATAL_FAILURE, and return when
    // IsSkipped(): the test is skipped where no daemon can run here.
    void startDaemon(std::initializer_list<QueueSpec> queues)
    {
        if (const std::string why = CupsDaemon::unavailableReason(); !why.empty())
            GTEST_SKIP() << why;
        daemon = std::make_unique<CupsDaemon>();
        ASSERT_TRUE(daemon->start());
        for (const QueueSpec& queue : queues)
            ASSERT_TRUE(daemon->addQueue(queue.name, queue.raw)) << queue.name;
    }

    std::unique_ptr<CupsDaemon> daemon;
};

} // namespace print::test
