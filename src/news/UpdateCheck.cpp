#include "UpdateCheck.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <charconv>
#include <cmath>
#include <exception>

#include "AppDir.h"
#include "AtomicFile.h"
#include "BrandProfile.h"
#include "HttpClient.h"
#include "IniFile.h"
#include "Messages.h"
#include "Shell.h"
#include "Text.h"

const char* const kUpdateBaseURL = QUILLSPOT_UPDATE_BASE_URL;

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Digits with an optional sign, decimal point and exponent, and nothing else: no blanks, no
// "inf" or "nan", which would compare as no number should.
bool IsPlainDecimal(const std::string& text) {
    size_t i = 0, digits = 0;
    const auto skipDigits = [&] {
        const size_t from = i;
        while (i < text.size() && IsDigit(text[i])) ++i;
        return i - from;
    };
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    digits += skipDigits();
    if (i < text.size() && text[i] == '.') {
        ++i;
        digits += skipDigits();
    }
    if (digits == 0) return false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
        if (skipDigits() == 0) return false;
    }
    return i == text.size();
}

// Read with "." as the decimal point whatever the locale says.
template <class Number>
Number VersionNumber(const std::string& text) {
    if (!IsPlainDecimal(text)) return 0;
    // from_chars takes no plus sign.
    const size_t from = text[0] == '+' ? 1 : 0;
    Number value = 0;
    const auto [end, error] = std::from_chars(text.data() + from, text.data() + text.size(), value);
    return error == std::errc() && std::isfinite(value) ? value : 0;
}

}  // namespace

bool DownloadToFile(HttpClient& client, const std::string& url, const std::string& path) {
    QFile file(ToQ(path));
    if (file.exists() && !file.remove()) return false;
    QCoreApplication::processEvents();
    const auto body = client.Get(url);
    if (!body) return false;
    try {
        WriteFileAtomically(path, *body);
    } catch (const std::exception&) {
        return false;
    }
    return true;
}

bool NewerThanAppVersion(const std::string& version) {
    // The description's number is single precision, the program's own double: "2.01" read
    // both ways is not newer.
    return static_cast<double>(VersionNumber<float>(version)) > VersionNumber<double>(kAppVersion);
}

bool CheckForUpdates(HttpClient& client, Messages& messages, Shell& shell,
                     const std::string& baseUrl, bool silent) {
    const std::string local = AppFilePath(kUpdateInfoFile);
    std::string version;
    if (DownloadToFile(client, baseUrl + kUpdateInfoFile, local))
        version = IniFile(local).ReadString("APPLICATION", "Version", "");
    if (!NewerThanAppVersion(version)) {
        if (!silent) messages.Information("There's no new updates for this application!");
        return false;
    }
    if (!messages.Confirm(
            "There is a new update: (version " + version +
            ") available for your application!. Do you want download this update now?"))
        return false;
    const std::string updater = BrandFilePath(kUpdaterFile);
    const char* const missing =
        "The updater module is missing. Please reinstall again the current version!";
    if (!QFileInfo::exists(ToQ(updater))) {
        messages.Warning(missing);
        return false;
    }
    if (!messages.Confirm("To update your software the application will close to\n\rreplace some "
                          "files. Do you want to update now?"))
        return false;
    // An updater that will not start must not leave the owner with neither program running.
    if (!shell.StartDetached(updater, {baseUrl, kAppVersion, "A"})) {
        messages.Warning(missing);
        return false;
    }
    return true;
}
