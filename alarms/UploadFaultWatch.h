// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

class AlarmSet;

// The live outputs tell their faults as one line for a person, once when a
// network starts failing and once when it works again ("CWOP (host:port):
// upload failed (...)", "...: uploading again", "MQTT: no connection to
// ...", "MQTT: connected to ... again"). This reads those lines for the
// uploads alarm; any other line changes nothing. Returns whether it did.
bool WatchUploadReport(const std::string& message, AlarmSet& alarms);
