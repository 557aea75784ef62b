// An INI file as the site settings and the update description are read, and changed in
// memory as the site settings are saved.
#include "FuzzInput.h"
#include "IniFile.h"
#include "UpdateCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    IniFile ini = IniFile::FromBytes(
        "/nonexistent/qlspsettings.dat",
        QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    ini.ReadString("Settings", "webserver", "");
    NewerThanAppVersion(ini.ReadString("APPLICATION", "Version", ""));
    ini.WriteString("Settings", "adswidth", "500px");
    ini.WriteString("New", "key", "value");
    ini.ReadString("settings", "ADSWIDTH", "");
    return 0;
}
