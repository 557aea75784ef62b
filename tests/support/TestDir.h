#pragma once

#include <QTemporaryDir>
#include <string>

// A fresh temporary directory that stands in for the executable's directory while it lives.
class TestDir {
  public:
    TestDir();
    ~TestDir();
    TestDir(const TestDir&) = delete;
    TestDir& operator=(const TestDir&) = delete;

    std::string Path(const std::string& name) const;
    void Write(const std::string& name, const std::string& bytes) const;
    std::string Read(const std::string& name) const;
    bool Exists(const std::string& name) const;

  private:
    QTemporaryDir dir_;
};
