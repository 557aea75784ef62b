#include "AdSite.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include "LocalPort.h"
#include "SiteSettings.h"

namespace {

struct MariaDB {
    QTemporaryDir dir;
    int port = UnusedLocalPort();
};
std::unique_ptr<MariaDB> server;

bool Run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start(program, arguments);
    return process.waitForFinished(120000) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

// The server is started once for the whole test program: it takes seconds, an empty
// database a moment.
void EmptyMariaDB() {
    if (!server) {
        server = std::make_unique<MariaDB>();
        ASSERT_TRUE(
            Run(LOCAL_MARIADB, {"start", server->dir.path(), QString::number(server->port)}));
    }
    ASSERT_TRUE(Run("mariadb", {"--no-defaults", "--socket=" + server->dir.path() + "/mariadb.sock",
                                "-uroot", "-e", "DROP DATABASE qlsp; CREATE DATABASE qlsp;"}));
}

}  // namespace

AdSite::AdSite(Database database, const QStringList& phpOptions) : database_(database) {
    const QDir scripts(QUILLSPOT_SERVER_DIR);
    for (const QString& name : scripts.entryList({"*.php"}, QDir::Files))
        QFile::copy(scripts.filePath(name), site_.filePath(name));
    QDir(site_.path()).mkpath("Pictures");
    if (database_ == Database::MariaDB) EmptyMariaDB();
    // PHP's web server keeps compiled scripts, the settings too, for up to two seconds
    // unchecked: a test's new settings must count at once.
    const QStringList options = {"-d", "display_errors=1",         "-d", "display_startup_errors=1",
                                 "-d", "opcache.revalidate_freq=0"};
    server_ = std::make_unique<PhpWebServer>(site_.path().toStdString(), options + phpOptions, 8);
}

void AdSite::Configure(SiteSettings& settings) const {
    settings.webserver = Url();
    if (database_ == Database::SQLite) {
        settings.dbhostname = "sqlite:" + data_.filePath("ads.sqlite").toStdString();
        return;
    }
    settings.dbhostname = "127.0.0.1:" + std::to_string(server->port);
    settings.dbdatabase = settings.dbusername = settings.dbpassword = "qlsp";
}

void AdSite::Upload(const std::string& settingsScript) const {
    QFile file(site_.filePath("qlspsettings.php"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(settingsScript.data(), static_cast<qint64>(settingsScript.size()));
}

void AdSite::StopMariaDB() {
    if (server) Run(LOCAL_MARIADB, {"stop", server->dir.path()});
    server.reset();
}
