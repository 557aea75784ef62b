#include "AppDir.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

#include "Text.h"

namespace {

std::string& AppDirOverride() {
    static std::string dir;
    return dir;
}

std::string& SharedDirOverride() {
    static std::string dir;
    return dir;
}

std::string WithSlash(std::string dir) {
    if (dir.empty() || dir.back() != '/') dir += '/';
    return dir;
}

// Whether a file can be made in `dir`: the one test that also holds for read-only mounts and
// for root, whom permission bits do not stop.
bool CanWriteIn(const std::string& dir) {
    QTemporaryFile probe(ToQ(WithSlash(dir) + ".quillspot-XXXXXX"));
    return probe.open();
}

// Whether `dir` is `folder` or lies inside it.
bool IsWithin(const std::string& dir, const std::string& folder) {
    const QString d = QDir::cleanPath(ToQ(dir));
    const QString f = QDir::cleanPath(ToQ(folder));
    return d == f || d.startsWith(f.endsWith('/') ? f : f + '/');
}

// A folder of the system's own, where an installed program lies: never the program folder,
// even when the user (root) may write there. A prefix of "/" would hold every folder, the
// build folders too, so it counts for nothing beyond /usr.
bool IsSystemFolder(const std::string& dir, const std::string& installPrefix) {
    return IsWithin(dir, "/usr") ||
           (QDir::cleanPath(ToQ(installPrefix)) != "/" && IsWithin(dir, installPrefix));
}

std::string ProgramFolder() {
    if (!AppDirOverride().empty()) return AppDirOverride();
    static const std::string folder =
        ChooseProgramFolder(FromQ(QCoreApplication::applicationDirPath()),
                            qEnvironmentVariable("XDG_CONFIG_HOME").toStdString(),
                            qEnvironmentVariable("HOME").toStdString(), QUILLSPOT_INSTALL_PREFIX);
    return folder;
}

}  // namespace

std::string ChooseProgramFolder(const std::string& executableDir, const std::string& xdgConfigHome,
                                const std::string& home, const std::string& installPrefix) {
    if (!IsSystemFolder(executableDir, installPrefix) && CanWriteIn(executableDir))
        return executableDir;
    // A relative $XDG_CONFIG_HOME is to be ignored, as if it were not set.
    const std::string config = !xdgConfigHome.empty() && xdgConfigHome.front() == '/'
                                   ? xdgConfigHome
                                   : WithSlash(home) + ".config";
    const std::string folder = WithSlash(config) + "quillspot";
    QDir().mkpath(ToQ(folder));
    return folder;
}

std::string AppFilePath(const std::string& name) { return WithSlash(ProgramFolder()) + name; }

std::string BrandFilePath(const std::string& name) {
    const std::string own = AppFilePath(name);
    if (QFileInfo::exists(ToQ(own))) return own;
    const std::string& override = SharedDirOverride();
    const std::string shared =
        WithSlash(override.empty() ? QUILLSPOT_SHARED_DATA_DIR : override) + name;
    return QFileInfo::exists(ToQ(shared)) ? shared : own;
}

void SetAppDirForTesting(const std::string& dir) { AppDirOverride() = dir; }
void SetSharedDataDirForTesting(const std::string& dir) { SharedDirOverride() = dir; }
