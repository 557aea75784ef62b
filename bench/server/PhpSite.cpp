#include "PhpSite.h"

#include <QDir>
#include <QFile>
#include <chrono>
#include <fstream>
#include <thread>

#include "LocalPort.h"
#include "Requests.h"

namespace {

void CopyScripts(const QString& from, const QStringList& names, const QString& to) {
    for (const QString& name : QDir(from).entryList(names, QDir::Files))
        QFile::copy(from + "/" + name, to + "/" + name);
}

// The settings file as the owner's client writes it.
void WriteSettings(const std::string& path, const DatabaseSettings& database) {
    std::ofstream file(path, std::ios::binary);
    file << "<?php\r\n  $hostname=\"" << database.hostname << "\";\r\n  $database=\""
         << database.database << "\";\r\n  $username=\"" << database.username
         << "\";\r\n  $password=\"" << database.password
         << "\";\r\n  $adswidth=\"300px\";\r\n?>\r\n";
}

}  // namespace

PhpSite::PhpSite(const std::string& folder, const DatabaseSettings& database)
    : folder_(folder), site_(folder + "/site") {
    QDir().mkpath(QString::fromStdString(site_));
    CopyScripts(SERVER_SCRIPTS, {"*.php"}, QString::fromStdString(site_));
    CopyScripts(BENCH_SCRIPTS, {"*_minimal.php"}, QString::fromStdString(site_));
    WriteSettings(site_ + "/qlspsettings.php", database);
}

bool PhpSite::Start() {
    port_ = UnusedLocalPort();
    server_ = std::make_unique<BackgroundProcess>(
        std::vector<std::string>{"php", "-S", "127.0.0.1:" + std::to_string(port_), "-t", site_},
        std::vector<std::string>{"PHP_CLI_SERVER_WORKERS=" + std::to_string(kWorkers)},
        folder_ + "/server.log");
    Easy easy(curl_easy_init());
    for (int attempt = 0; server_->Started() && attempt < 100; ++attempt) {
        if (Get(easy.get(), Url("getid_minimal.php"))) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

bool PhpSite::Fill(int ads) const {
    return RunProgram({"php", BENCH_SCRIPTS "/fill_ads.php", site_, std::to_string(ads)},
                      folder_ + "/fill.log");
}

std::string PhpSite::Url(const std::string& script) const {
    return "http://127.0.0.1:" + std::to_string(port_) + "/" + script;
}
