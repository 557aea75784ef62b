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
    // The secret the server settings script carries to the server, which signs every post
    // to the actions script; made by the first Ok in Settings. Empty until then.
    std::string ownerkey;
};

// The site settings file beside the executable.
inline constexpr const char* kSiteSettingsFile = "qlspsettings.dat";
inline constexpr const char* kActionsScript = "qlspactions.php";

// Fills `settings` from the file; a missing file leaves the defaults.
void LoadSiteSettings(SiteSettings& settings);

// Writes every stored field back, into a file only its owner may read, since it holds the
// owner key and the database password. Throws std::runtime_error "Unable to write to <path>".
void SaveSiteSettings(const SiteSettings& settings);
