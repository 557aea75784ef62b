#include "TestDir.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>

#include "AppDir.h"
#include "Text.h"

TestDir::TestDir() {
    EXPECT_TRUE(dir_.isValid());
    SetAppDirForTesting(FromQ(dir_.path()));
}

TestDir::~TestDir() { SetAppDirForTesting(""); }

std::string TestDir::Path(const std::string& name) const { return FromQ(dir_.path()) + "/" + name; }

void TestDir::Write(const std::string& name, const std::string& bytes) const {
    QFile f(ToQ(Path(name)));
    EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

std::string TestDir::Read(const std::string& name) const {
    QFile f(ToQ(Path(name)));
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll().toStdString();
}

bool TestDir::Exists(const std::string& name) const { return QFileInfo::exists(ToQ(Path(name))); }
