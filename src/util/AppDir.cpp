#include "AppDir.h"

#include <QCoreApplication>

#include "Text.h"

namespace {
std::string& Override() {
    static std::string dir;
    return dir;
}
}  // namespace

std::string AppFilePath(const std::string& name) {
    std::string dir = Override();
    if (dir.empty()) dir = FromQ(QCoreApplication::applicationDirPath());
    if (dir.empty() || dir.back() != '/') dir += '/';
    return dir + name;
}

void SetAppDirForTesting(const std::string& dir) { Override() = dir; }
