#pragma once

#include <string>

class HttpClient;
class Messages;
class Shell;

// The maker's update server, fixed when the program is built.
extern const char* const kUpdateBaseURL;
// The update description downloaded from it and kept beside the program.
inline constexpr const char* kUpdateInfoFile = "mainappupdate.inf";
// The separate program that installs an update, beside the program.
inline constexpr const char* kUpdaterFile = "Updater.exe";

// GETs `url` into the file at `path`: true when the whole body of a successful reply is in
// the file. Any old file is deleted first; after a failure no file is left, not even part
// of one.
bool DownloadToFile(HttpClient& client, const std::string& url, const std::string& path);

// Whether `version`, as the update description writes it, is newer than this program's.
// The text is read as a 32-bit floating-point number ("." as the decimal point); anything
// that is not a plain decimal number counts as 0.
bool NewerThanAppVersion(const std::string& version);

// Asks the update server at `baseUrl` for a newer version and offers it. When the owner
// accepts, starts the updater with the base URL, this version and "A", and returns true: the
// caller then closes, so the updater can replace its files. Without an update, says so
// unless `silent`.
bool CheckForUpdates(HttpClient& client, Messages& messages, Shell& shell,
                     const std::string& baseUrl, bool silent);
