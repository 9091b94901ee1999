#pragma once

#include <string>

// Starts exactly the program at `path` (as the application name: nothing
// parses it as a command line), with no arguments, in a normal window,
// without waiting for it. True when it started.
bool startProgramDetached(const std::u16string &path);
