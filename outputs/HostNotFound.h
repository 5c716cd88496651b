// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

// The words for a server whose name does not resolve: the name itself, as
// the owner typed it, since a typing slip is the usual cause and the
// libraries' own words ("Lookup error.", "Couldn't resolve host name") do
// not say which of the outputs' servers is meant. why, when given, is the
// resolver's reason for a failure that is no plain unknown name.
std::string HostNotFound(const std::string& host, const std::string& why = {});

// The host part of a URL ("example.org" of "https://example.org:8080/x?y"),
// empty for a URL that cannot be read.
std::string HostOfUrl(const std::string& url);
