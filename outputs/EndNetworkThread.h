// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

struct mosquitto;

// Disconnects and waits for the thread of mosquitto_loop_start to end.
void EndNetworkThread(mosquitto* mosq);
