#include "PhpWebServer.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <QProcessEnvironment>
#include <QTcpSocket>
#include <QTest>

#include "LocalPort.h"

PhpWebServer::PhpWebServer(const std::string& root, const QStringList& options, int workers)
    : port_(UnusedLocalPort()) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (workers > 1) environment.insert("PHP_CLI_SERVER_WORKERS", QString::number(workers));
    server_.setProcessEnvironment(environment);
    // Its workers are processes of their own: a group of their own lets them go together.
    server_.setChildProcessModifier([] { setpgid(0, 0); });
    server_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    server_.setStandardOutputFile(QProcess::nullDevice());
    server_.start("php", options + QStringList{"-S", QString("127.0.0.1:%1").arg(port_), "-t",
                                               QString::fromStdString(root)});
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            QTcpSocket probe;
            probe.connectToHost("127.0.0.1", static_cast<quint16>(port_));
            return probe.waitForConnected(100);
        },
        10000));
}

PhpWebServer::~PhpWebServer() {
    if (server_.processId() > 0) ::kill(-static_cast<pid_t>(server_.processId()), SIGKILL);
    server_.waitForFinished();
}

std::string PhpWebServer::Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}
