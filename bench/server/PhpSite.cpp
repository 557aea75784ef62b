#include "PhpSite.h"

#include <QDir>
#include <QFile>
#include <chrono>
#include <fstream>
#include <thread>

#include "LocalPort.h"
#include "OwnerSignature.h"
#include "ProcessMemory.h"
#include "Requests.h"

namespace {

void CopyScripts(const QString& from, const QStringList& names, const QString& to) {
    for (const QString& name : QDir(from).entryList(names, QDir::Files))
        QFile::copy(from + "/" + name, to + "/" + name);
}

// The settings file as the owner's client writes it.
void WriteSettings(const std::string& path, const DatabaseSettings& database,
                   const std::string& ownerKey) {
    std::ofstream file(path, std::ios::binary);
    file << "<?php\r\n  $hostname=\"" << database.hostname << "\";\r\n  $database=\""
         << database.database << "\";\r\n  $username=\"" << database.username
         << "\";\r\n  $password=\"" << database.password
         << "\";\r\n  $adswidth=\"300px\";\r\n  $ownerkey=\"" << ownerKey << "\";\r\n?>\r\n";
}

// The actions script without the line that checks the signature; false unless there is
// exactly one.
bool WriteUncheckedActions(const QString& from, const QString& to) {
    QFile script(from);
    if (!script.open(QIODevice::ReadOnly)) return false;
    QByteArrayList lines = script.readAll().split('\n');
    const qsizetype before = lines.size();
    lines.removeIf([](const QByteArray& line) { return line.contains("qlsp_check_signature("); });
    QFile copy(to);
    return before - lines.size() == 1 && copy.open(QIODevice::WriteOnly) &&
           copy.write(lines.join('\n')) > 0;
}

}  // namespace

PhpSite::PhpSite(const std::string& folder, const DatabaseSettings& database)
    : folder_(folder), site_(folder + "/site"), ownerKey_(RandomHex(32).toStdString()) {
    const QString site = QString::fromStdString(site_);
    QDir().mkpath(site);
    CopyScripts(SERVER_SCRIPTS, {"*.php"}, site);
    CopyScripts(BENCH_SCRIPTS, {"*_minimal.php"}, site);
    hasUnchecked_ =
        WriteUncheckedActions(site + "/qlspactions.php", site + "/qlspactions_unchecked.php");
    WriteSettings(site_ + "/qlspsettings.php", database, ownerKey_);
}

bool PhpSite::Start() {
    port_ = UnusedLocalPort();
    server_ = std::make_unique<BackgroundProcess>(
        std::vector<std::string>{"php", "-S", "127.0.0.1:" + std::to_string(port_), "-t", site_},
        std::vector<std::string>{"PHP_CLI_SERVER_WORKERS=" + std::to_string(kWorkers)},
        folder_ + "/server.log");
    Easy easy(curl_easy_init());
    for (int attempt = 0; server_->Started() && attempt < 100; ++attempt) {
        if (Get(easy.get(), Url("qlspactions.php"))) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

bool PhpSite::Fill(int ads) const {
    return RunProgram({"php", BENCH_SCRIPTS "/fill_ads.php", site_, std::to_string(ads)},
                      folder_ + "/fill.log");
}

double PhpSite::WorkerPeakBytes() const {
    double peak = 0;
    for (const pid_t worker : server_->Children())
        peak = std::max(peak, PeakResidentBytes(std::to_string(worker)));
    return peak;
}

void PhpSite::ResetPeakMemory() const {
    for (const pid_t worker : server_->Children()) ResetPeakResident(std::to_string(worker));
}

std::string PhpSite::Url(const std::string& script) const {
    return "http://127.0.0.1:" + std::to_string(port_) + "/" + script;
}
