#include "SiteSettings.h"

#include <QFileInfo>
#include <array>
#include <utility>

#include "AppDir.h"
#include "IniFile.h"
#include "Text.h"

namespace {

constexpr const char* kSection = "Settings";

// The stored fields in file order.
std::array<std::pair<const char*, std::string SiteSettings::*>, 7> StoredFields() {
    return {{{"webserver", &SiteSettings::webserver},
             {"dbhostname", &SiteSettings::dbhostname},
             {"dbdatabase", &SiteSettings::dbdatabase},
             {"dbusername", &SiteSettings::dbusername},
             {"dbpassword", &SiteSettings::dbpassword},
             {"adswidth", &SiteSettings::adswidth},
             {"ownerkey", &SiteSettings::ownerkey}}};
}

}  // namespace

void LoadSiteSettings(SiteSettings& settings) {
    settings = SiteSettings{};
    const std::string path = AppFilePath(kSiteSettingsFile);
    if (QFileInfo::exists(ToQ(path))) {
        const IniFile ini(path);
        // A key missing from an existing file empties its field, the width included.
        for (const auto& [key, field] : StoredFields())
            settings.*field = ini.ReadString(kSection, key, "");
    }
    settings.actionsscript = kActionsScript;
}

void SaveSiteSettings(const SiteSettings& settings) {
    IniFile ini(AppFilePath(kSiteSettingsFile));
    for (const auto& [key, field] : StoredFields()) ini.WriteString(kSection, key, settings.*field);
    ini.Save(AtomicFile::Access::OwnerOnly);
}
