// SPDX-License-Identifier: GPL-3.0-or-later
// How the demo tells whether a station could be on /dev/ttyS0.

#include <gtest/gtest.h>

#include "DemoSession.h"

namespace {

TEST(DemoSession, TakesAFirstPortThatNeverReceivedAnythingForNoStation) {
    const std::pair<const char*, bool> table[] = {
        {"serinfo:1.0 driver revision:\n0: uart:16550A port:000003F8 irq:4 tx:17 rx:0 "
         "RTS|CTS|DTR\n",
         false},
        {"serinfo:1.0 driver revision:\n0: uart:16550A port:000003F8 irq:4 tx:0 rx:5210\n", true},
        {"serinfo:1.0 driver revision:\n1: uart:16550A port:000002F8 irq:3 tx:0 rx:0\n"
         "0: uart:16550A port:000003F8 irq:4 tx:0 rx:12\n",
         true},
        {"serinfo:1.0 driver revision:\n0: uart:unknown port:000003F8 irq:4\n", true},
        {"serinfo:1.0 driver revision:\n", true},
    };
    for (const auto& [text, received] : table)
        EXPECT_EQ(DemoSession::FirstPortHasReceived(text), received) << text;
}

}  // namespace
