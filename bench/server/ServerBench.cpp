// The server's scripts on PHP's built-in web server, on SQLite and on a private MariaDB, each
// beside a minimal script that pays nothing the measured one does not:
// - the ad list (action 5) of 10,000 ads beside a script that runs the same query and joins
//   the rows the same way, with no settings check, schema migration or per-field work;
// - qlspgetid.php's requests per second with 1 and with 8 visitors at once beside a script
//   that echoes a constant id, on the same server (PHP_CLI_SERVER_WORKERS=8).
// Every figure is the median and the spread of alternating runs.
//
// Usage: server_bench [runs]
#include <QDateTime>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "LocalMariaDb.h"
#include "PhpSite.h"
#include "Requests.h"
#include "SiteSettings.h"
#include "Stats.h"

namespace {

constexpr int kAds = 10000;
// Requests in one run, whatever the number of visitors they are shared among.
constexpr int kVisits = 400;

// The measured run's time over the baseline's in the same run, run by run.
Stats Ratios(const Stats& measured, const Stats& baseline) {
    Stats ratios;
    for (size_t i = 0; i < measured.values.size(); ++i)
        ratios.values.push_back(measured.values[i] / baseline.values[i]);
    return ratios;
}

Stats PerSecond(const Stats& ms, int requests) {
    Stats rates;
    for (const double value : ms.values) rates.values.push_back(requests * 1000.0 / value);
    return rates;
}

void BenchList(const PhpSite& site, int runs) {
    Easy easy(curl_easy_init());
    const MultipartForm form =
        BuildForm({{"action", "5"}, {"end", ""}}, QDateTime::currentDateTime());
    const std::string actions = site.Url(kActionsScript);
    const std::string minimal = site.Url("list_minimal.php");
    const std::optional<std::string> reply = Post(easy.get(), actions, form);
    if (!reply || std::count(reply->begin(), reply->end(), '^') != kAds ||
        !reply->ends_with("OK")) {
        std::printf("  the list's reply is not %d records and OK\n", kAds);
        return;
    }
    if (Post(easy.get(), minimal, form) != reply)
        std::printf("  the minimal list's reply differs from the actions script's\n");

    int failures = 0;
    const auto post = [&](const std::string& url) {
        return [&failures, &easy, &form, url] { failures += !Post(easy.get(), url, form); };
    };
    const std::vector<Stats> ms = TimeAlternating(runs, {{post(actions)}, {post(minimal)}});
    std::printf("  list (action 5), reply of %.2f MB: qlspactions.php ", reply->size() / 1e6);
    ms[0].Print("%.1f");
    std::printf(" ms, list_minimal.php ");
    ms[1].Print("%.1f");
    std::printf(" ms, ratio ");
    Ratios(ms[0], ms[1]).Print("%.2f");
    std::printf("\n");
    if (failures) std::printf("  %d list requests failed\n", failures);
}

void BenchVisits(const PhpSite& site, int runs) {
    const std::string getid = site.Url("qlspgetid.php");
    const std::string minimal = site.Url("getid_minimal.php");
    for (const int clients : {1, PhpSite::kWorkers}) {
        int failures[2] = {};
        const auto visit = [&](const std::string& url, int& failed) {
            return [&failed, clients, url] { failed += VisitAds(url, clients, kVisits / clients); };
        };
        const std::vector<Stats> ms =
            TimeAlternating(runs, {{visit(getid, failures[0])}, {visit(minimal, failures[1])}});
        std::printf("  %d %s at once: qlspgetid.php ", clients,
                    clients == 1 ? "client" : "clients");
        PerSecond(ms[0], kVisits).Print("%.0f");
        std::printf(" requests/s, getid_minimal.php ");
        PerSecond(ms[1], kVisits).Print("%.0f");
        std::printf(" requests/s, time ratio ");
        Ratios(ms[0], ms[1]).Print("%.2f");
        std::printf("\n");
        for (int i = 0; i < 2; ++i) {
            if (failures[i])
                std::printf(
                    "    %d of %d requests to %s failed or were refused, counted in its rate\n",
                    failures[i], runs * kVisits, i ? "getid_minimal.php" : "qlspgetid.php");
        }
    }
}

void BenchSite(const char* name, PhpSite& site, int runs) {
    std::printf("%s:\n", name);
    if (!site.Start()) {
        std::printf("  PHP's web server did not start\n");
        return;
    }
    if (!site.Fill(kAds)) {
        std::printf("  the ads could not be filled in\n");
        return;
    }
    BenchList(site, runs);
    BenchVisits(site, runs);
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    curl_global_init(CURL_GLOBAL_DEFAULT);
    QTemporaryDir folder;
    const std::string top = folder.path().toStdString();
    std::printf(
        "%d ads on PHP's built-in web server with PHP_CLI_SERVER_WORKERS=%d, on loopback;\n"
        "median (fastest to slowest) of %d runs; a ratio is the measured script's time\n"
        "over its minimal baseline's in the same run: list_minimal.php runs the same\n"
        "query and joins the rows the same way, getid_minimal.php echoes a constant id.\n",
        kAds, PhpSite::kWorkers, runs);
    {
        PhpSite site(top + "/sqlite", {"sqlite:" + top + "/sqlite/ads.sqlite"});
        BenchSite("SQLite", site, runs);
    }
    const LocalMariaDb mariadb(top + "/mariadb", top + "/mariadb.log");
    if (!mariadb.Started()) {
        std::printf("MariaDB did not start (scripts/local-mariadb.sh); no MariaDB figures\n");
        return 0;
    }
    PhpSite site(top + "/mariadb-site", {"127.0.0.1:" + std::to_string(mariadb.Port())});
    BenchSite("MariaDB", site, runs);
    return 0;
}
