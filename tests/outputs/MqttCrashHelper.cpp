// SPDX-License-Identifier: GPL-3.0-or-later
// Publishes one state to the broker at 127.0.0.1:PORT as station ID, then
// waits to be killed: the broker tests' stand-in for a crashing program.
#include <unistd.h>

#include <cstdlib>
#include <iostream>

#include "MqttPublisher.h"

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    MqttOptions options;
    options.host = "127.0.0.1";
    options.port = std::atoi(argv[1]);
    options.stationId = argv[2];
    MqttPublisher publisher(options, [](const std::string& m) { std::cerr << m << "\n"; });
    if (!publisher.Start()) return 1;
    publisher.OnRecord(StationState{});
    for (;;) pause();
}
