#pragma once

#include <string>

// What the owner tells the program about the web site. Byte strings as typed.
struct SiteSettings {
    std::string webserver;      // site URL, meant without a closing "/"
    std::string actionsscript;  // never stored; set by LoadSiteSettings
    std::string dbhostname;
    std::string dbdatabase;
    std::string dbusername;
    std::string dbpassword;
    std::string adswidth = "500px";
};

// The site settings file beside the executable.
inline constexpr const char* kSiteSettingsFile = "qlspsettings.dat";
inline constexpr const char* kActionsScript = "qlspactions.php";

// Fills `settings` from the file; a missing file leaves the defaults.
void LoadSiteSettings(SiteSettings& settings);

// Writes every stored field back. Throws std::runtime_error "Unable to write to <path>".
void SaveSiteSettings(const SiteSettings& settings);
