// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <string>

// Where the program writes its data log and report files: the working folder.
// From a terminal that is the folder it was started in; started from the
// desktop menu it is ~/Nimbulo; --data-dir names another.
namespace DataFolder {

// ~/Nimbulo ($HOME/Nimbulo), the folder of a program started from the menu.
std::filesystem::path DesktopDefault();

// Makes the folder (with its parents) when it is missing and works in it from
// now on. False with a message in error when either fails.
bool Enter(const std::filesystem::path& folder, std::string& error);

}  // namespace DataFolder
