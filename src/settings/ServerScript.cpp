#include "ServerScript.h"

#include "AppDir.h"
#include "AtomicFile.h"
#include "PhpText.h"
#include "SiteSettings.h"

namespace {

std::string Assignment(const char* name, const std::string& value) {
    return std::string("  $") + name + "=\"" + PhpDoubleQuoted(value) + "\";\r\n";
}

}  // namespace

std::string ServerSettingsScript(const SiteSettings& values) {
    return "<?php\r\n" + Assignment("hostname", values.dbhostname) +
           Assignment("database", values.dbdatabase) + Assignment("username", values.dbusername) +
           Assignment("password", values.dbpassword) + Assignment("adswidth", values.adswidth) +
           Assignment("ownerkey", values.ownerkey) + "?>\r\n";
}

void WriteServerSettingsScript(const SiteSettings& values) {
    // It holds the database password and the owner key.
    WriteFileAtomically(AppFilePath(kServerScriptFile), ServerSettingsScript(values),
                        AtomicFile::Access::OwnerOnly);
}
