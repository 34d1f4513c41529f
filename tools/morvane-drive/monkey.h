// The long random run of the real program (`morvane-drive monkey`): it does
// what a user can do, at random or from the log of an earlier run, and checks
// after every action that the program still answers, has not crashed, shows
// no error it should not, and has changed no browser file it was not told to.
#pragma once

#include <string>

#include "drive_parse.h"

namespace morvane::drive {

// Runs it; returns the driver's exit status (0 when every check held).
int RunMonkey(const TMonkeyRequest& Request, const std::string& Exe, const std::string& Cwd);

}  // namespace morvane::drive
