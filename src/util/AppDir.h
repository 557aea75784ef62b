#pragma once

#include <string>

// Every file the program reads or writes lies beside its executable.
// Returns the executable's directory followed by `name`.
std::string AppFilePath(const std::string& name);

// Tests point the program at a temporary directory; an empty path restores the real one.
void SetAppDirForTesting(const std::string& dir);
