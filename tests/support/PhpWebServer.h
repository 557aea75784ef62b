#pragma once

#include <QProcess>
#include <QStringList>
#include <string>

// PHP's built-in web server on 127.0.0.1, serving the folder `root`, on a free port; ready
// when constructed and stopped when destroyed. `options` go to php before "-S" (such as
// "-n" for PHP's default settings); `workers` above 1 lets it answer that many requests at
// once.
class PhpWebServer {
  public:
    explicit PhpWebServer(const std::string& root, const QStringList& options = {},
                          int workers = 1);
    ~PhpWebServer();
    PhpWebServer(const PhpWebServer&) = delete;
    PhpWebServer& operator=(const PhpWebServer&) = delete;

    // "http://127.0.0.1:<port>" followed by `path`.
    std::string Url(const std::string& path = "") const;

  private:
    int port_;
    QProcess server_;
};
