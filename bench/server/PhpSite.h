#pragma once

#include <memory>
#include <string>

#include "Processes.h"

// What qlspsettings.php holds for the database: $hostname is "sqlite:" and the database
// file's path, or a MySQL host with its port.
struct DatabaseSettings {
    std::string hostname;
    std::string database = "qlsp";
    std::string username = "qlsp";
    std::string password = "qlsp";
};

// A folder holding the server's scripts, this benchmark's baselines and the settings for one
// database with an owner key of its own, served by PHP's built-in web server on a port of its
// own with as many workers as the most clients the benchmark sends at once. One baseline,
// qlspactions_unchecked.php, is made from the actions script itself by taking out the one line
// that checks the signature.
class PhpSite {
  public:
    static constexpr int kWorkers = 8;

    // Makes the site under `folder`; its server's log goes there too.
    PhpSite(const std::string& folder, const DatabaseSettings& database);

    // Starts serving and waits until the server answers; false if it does not.
    bool Start();
    // Adds `ads` ads to the database through the site's own settings and schema.
    bool Fill(int ads) const;
    // The peak resident memory of the web server's busiest worker since ResetPeakMemory().
    double WorkerPeakBytes() const;
    void ResetPeakMemory() const;
    std::string Url(const std::string& script) const;
    const std::string& OwnerKey() const { return ownerKey_; }
    // False when the actions script has no single line that calls the check.
    bool HasUncheckedActions() const { return hasUnchecked_; }

  private:
    std::string folder_;
    std::string site_;
    std::string ownerKey_;
    bool hasUnchecked_ = false;
    int port_ = 0;
    std::unique_ptr<BackgroundProcess> server_;
};
