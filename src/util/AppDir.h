#pragma once

#include <string>

// The program's folder, where every file it reads or writes lies: its executable's folder
// when the user may write there (a copied, portable folder) and it is none of the system's
// (under /usr or the install prefix), otherwise the user's own $XDG_CONFIG_HOME/quillspot
// (by default ~/.config/quillspot), made on first use. Returns that folder followed by
// `name`.
std::string AppFilePath(const std::string& name);

// A file the reseller's brand ships: the one in the program's folder when there is one,
// otherwise the one in the package's shared data folder (/usr/share/quillspot), otherwise
// the program's folder's path, where it would be.
std::string BrandFilePath(const std::string& name);

// The program's folder for an executable in `executableDir`, with $XDG_CONFIG_HOME and $HOME
// as given (either may be empty) and the install prefix the build was configured with.
std::string ChooseProgramFolder(const std::string& executableDir, const std::string& xdgConfigHome,
                                const std::string& home, const std::string& installPrefix);

// Tests point the program at a temporary directory; an empty path restores the real one.
void SetAppDirForTesting(const std::string& dir);
// Tests point the shared data folder elsewhere; an empty path restores the real one.
void SetSharedDataDirForTesting(const std::string& dir);
