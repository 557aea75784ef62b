#pragma once

#include <string>

struct SiteSettings;

// The server settings script's file name, beside the executable.
inline constexpr const char* kServerScriptFile = "qlspsettings.php";

// The eight lines of the server settings script for the database values, the ad width and
// the owner key of `values`, each ended by CR LF. Every value reads back in PHP as exactly the
// bytes given.
std::string ServerSettingsScript(const SiteSettings& values);

// Replaces the script beside the executable. Throws std::runtime_error naming the file.
void WriteServerSettingsScript(const SiteSettings& values);
