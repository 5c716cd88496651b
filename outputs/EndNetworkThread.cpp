// SPDX-License-Identifier: GPL-3.0-or-later
#include "EndNetworkThread.h"

#include <mosquitto.h>

#include <chrono>
#include <future>

// libmosquitto's thread misses a disconnect that comes while it is setting up
// a reconnection (which sets the client going again) and then runs on for
// ever. So the disconnect is repeated until the thread has ended: the thread
// sees it at its next look, after the attempt under way or a reconnect delay.
void EndNetworkThread(mosquitto* mosq) {
    using namespace std::chrono_literals;
    mosquitto_disconnect(mosq);
    auto ended = std::async(std::launch::async, [mosq] { mosquitto_loop_stop(mosq, false); });
    while (ended.wait_for(200ms) == std::future_status::timeout) mosquitto_disconnect(mosq);
}
