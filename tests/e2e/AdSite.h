#pragma once

#include <QTemporaryDir>
#include <memory>
#include <string>

#include "PhpWebServer.h"

struct SiteSettings;

enum class Database { SQLite, MariaDB };

// The reference scripts installed in a site folder of their own and served by PHP on
// loopback, over an empty database: a fresh SQLite file in a folder outside the site, or the
// emptied database of the one MariaDB server that the test program starts on first use. PHP
// shows its own warnings, so that any that reaches a reply shows in the test; `phpOptions`
// go to php as well.
class AdSite {
  public:
    explicit AdSite(Database database, const QStringList& phpOptions = {});

    // Gives `settings` this site's address and the database values that reach it.
    void Configure(SiteSettings& settings) const;
    // Puts the server settings script the owner's client wrote beside the scripts, as the
    // owner uploads it.
    void Upload(const std::string& settingsScript) const;

    std::string Url(const std::string& path = "") const { return server_->Url(path); }
    std::string Path(const std::string& name) const {
        return site_.filePath(QString::fromStdString(name)).toStdString();
    }

    // Stops the MariaDB server, if one was started.
    static void StopMariaDB();

  private:
    Database database_;
    // Not a TestDir: the program's own folder is the test's, not the site's.
    QTemporaryDir site_;
    QTemporaryDir data_;
    std::unique_ptr<PhpWebServer> server_;
};
