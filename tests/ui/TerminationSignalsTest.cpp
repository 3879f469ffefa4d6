// SIGTERM, SIGHUP and SIGINT reach the event loop as a request instead of ending
// the process; the default handling is back once the object is gone.

#include <gtest/gtest.h>

#include <signal.h>

#include <vector>

#include <QtTest/QTest>

#include "ui/TerminationSignals.h"

TEST(TerminationSignalsTest, SignalsBecomeRequestsInTheEventLoop) {
  std::vector<int> received;
  {
    TTerminationSignals signals_;
    QObject::connect(&signals_, &TTerminationSignals::Requested, [&](int signal) { received.push_back(signal); });
    ASSERT_EQ(::raise(SIGTERM), 0);
    ASSERT_EQ(::raise(SIGHUP), 0);
    // Nothing happens inside the handler itself.
    EXPECT_TRUE(received.empty());
    ASSERT_TRUE(QTest::qWaitFor([&]() { return received.size() == 2; }, 3000));
    EXPECT_EQ(received, (std::vector<int>{SIGTERM, SIGHUP}));
  }
  struct sigaction action {};
  ASSERT_EQ(::sigaction(SIGTERM, nullptr, &action), 0);
  EXPECT_EQ(action.sa_handler, SIG_DFL);
}
