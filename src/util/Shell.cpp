#include "Shell.h"

#include <QProcess>
#include <QStringList>

#include "Text.h"

bool ProcessShell::StartDetached(const std::string& program,
                                 const std::vector<std::string>& arguments) {
    QStringList args;
    for (const auto& a : arguments) args << ToQ(a);
    return QProcess::startDetached(ToQ(program), args);
}
