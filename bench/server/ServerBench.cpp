// The server's scripts on PHP's built-in web server, on SQLite and on a private MariaDB, each
// beside a minimal script that does the same work and pays nothing else:
// - the ad list (action 5) of 10,000, 100,000 and 1,000,000 ads beside a script that runs the
//   same query, joins the rows the same way and sends them in the same pieces, with no
//   signature, form or settings checked; with the serving worker's peak memory;
// - the list and an add, signed as the owner's client signs them, beside a copy of the
//   actions script without its signature check: what the check costs a request;
// - qlspgetid.php's requests per second with 1 and with 8 visitors at once beside a script
//   that runs the same queries and counts the impression the same way, on the same server
//   (PHP_CLI_SERVER_WORKERS=8).
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
#include "OwnerSignature.h"
#include "PhpSite.h"
#include "Requests.h"
#include "SiteSettings.h"
#include "Stats.h"

namespace {

// The list is measured at each size; adds and visits at the first.
constexpr int kListSizes[] = {10000, 100000, 1000000};
// Requests in one run, whatever the number of visitors they are shared among.
constexpr int kVisits = 400;
// Adds in one run: a single one is over too soon to time well.
constexpr int kAddsPerRun = 20;
constexpr const char* kUnchecked = "qlspactions_unchecked.php";

// The measured run's time over the baseline's in the same run, run by run.
Stats Ratios(const Stats& measured, const Stats& baseline) {
    Stats ratios;
    for (size_t i = 0; i < measured.values.size(); ++i)
        ratios.values.push_back(measured.values[i] / baseline.values[i]);
    return ratios;
}

// The measured run's time less the baseline's in the same run, per request.
Stats Differences(const Stats& measured, const Stats& baseline, int requests) {
    Stats differences;
    for (size_t i = 0; i < measured.values.size(); ++i)
        differences.values.push_back((measured.values[i] - baseline.values[i]) / requests);
    return differences;
}

// `fields` posted to `script` as the owner's client posts them: signed with the site's key,
// at the time of sending, with a fresh nonce.
std::optional<std::string> PostSigned(CURL* easy, const PhpSite& site, const std::string& script,
                                      const FormFields& fields) {
    const MultipartForm form = BuildForm(fields, QDateTime::currentDateTime());
    const QByteArray signature = OwnerSignature(site.OwnerKey(), QDateTime::currentSecsSinceEpoch(),
                                                RandomHex(16), form.body);
    return Post(easy, site.Url(script), form, signature.toStdString());
}

// The measured figures per request, "ms beside the check's copy", the ratio, and the
// difference per request.
void PrintBesideUnchecked(const std::vector<Stats>& ms, int requests) {
    Stats perRequest[2];
    for (int i = 0; i < 2; ++i)
        for (const double value : ms[i].values) perRequest[i].values.push_back(value / requests);
    perRequest[0].Print("%.2f");
    std::printf(" ms, %s ", kUnchecked);
    perRequest[1].Print("%.2f");
    std::printf(" ms, ratio ");
    Ratios(ms[0], ms[1]).Print("%.2f");
    std::printf(", the check costs ");
    Differences(ms[0], ms[1], requests).Print("%.2f");
    std::printf(" ms a request\n");
}

Stats PerSecond(const Stats& ms, int requests) {
    Stats rates;
    for (const double value : ms.values) rates.values.push_back(requests * 1000.0 / value);
    return rates;
}

// The list of `ads` ads, beside list_minimal.php, and, when `unchecked`, beside the actions
// script without its signature check; with the busiest worker's peak memory.
void BenchList(const PhpSite& site, int ads, int runs, bool unchecked) {
    Easy easy(curl_easy_init());
    const FormFields list = {{"action", "5"}, {"end", ""}};
    site.ResetPeakMemory();
    const std::optional<std::string> reply = PostSigned(easy.get(), site, kActionsScript, list);
    const double workerPeak = site.WorkerPeakBytes();
    if (!reply || std::count(reply->begin(), reply->end(), '^') != ads || !reply->ends_with("OK")) {
        std::printf("  the list's reply is not %d records and OK\n", ads);
        return;
    }
    std::vector<const char*> scripts = {kActionsScript, "list_minimal.php"};
    if (unchecked) scripts.push_back(kUnchecked);
    for (size_t i = 1; i < scripts.size(); ++i) {
        if (PostSigned(easy.get(), site, scripts[i], list) != reply)
            std::printf("  the reply of %s differs from the actions script's\n", scripts[i]);
    }

    int failures = 0;
    std::vector<Work> works;
    for (const char* script : scripts)
        works.push_back({[&failures, &easy, &site, &list, script] {
            failures += !PostSigned(easy.get(), site, script, list);
        }});
    const std::vector<Stats> ms = TimeAlternating(runs, works);
    std::printf("  list (action 5) of %d ads, %d runs, reply of %.1f MB: qlspactions.php ", ads,
                runs, reply->size() / 1e6);
    ms[0].Print("%.1f");
    std::printf(" ms, list_minimal.php ");
    ms[1].Print("%.1f");
    std::printf(" ms, ratio ");
    Ratios(ms[0], ms[1]).Print("%.2f");
    std::printf("%s\n    the serving worker's peak resident memory %.1f MB\n",
                ads == 1000000 ? " (target <= 1.15)" : "", workerPeak / 1e6);
    if (unchecked) {
        std::printf("  list, signed: qlspactions.php ");
        PrintBesideUnchecked({ms[0], ms[2]}, 1);
    }
    if (failures) std::printf("  %d list requests failed\n", failures);
}

// Returns how many ads it added.
int BenchAdd(const PhpSite& site, int runs) {
    Easy easy(curl_easy_init());
    int added = 0, failures = 0;
    const auto add = [&](const char* script) {
        return [&, script] {
            for (int i = 0; i < kAddsPerRun; ++i) {
                const std::string title = "Benchmark ad " + std::to_string(++added);
                const FormFields fields = {{"action", "2"},
                                           {"ad_id", ""},
                                           {"ad_title", title},
                                           {"ad_subtitle", "Sub"},
                                           {"ad_url", "http://www.example.com/"},
                                           {"ad_text", "Text"},
                                           {"ad_picture", "p.jpg"},
                                           {"ad_enable", "1"},
                                           {"ad_impressions", "0"},
                                           {"ad_clicks", "0"},
                                           {"end", ""}};
                failures += PostSigned(easy.get(), site, script, fields) != "OK";
            }
        };
    };
    const std::vector<Stats> ms = TimeAlternating(runs, {{add(kActionsScript)}, {add(kUnchecked)}});
    std::printf("  add (action 2), %d a run, signed: qlspactions.php ", kAddsPerRun);
    PrintBesideUnchecked(ms, kAddsPerRun);
    if (failures) std::printf("  %d adds failed or were refused\n", failures);
    return added - failures;
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

// The adds and visits at the smallest list, then the list at each size.
void BenchSite(const char* name, PhpSite& site, int runs) {
    std::printf("%s:\n", name);
    if (!site.Start()) {
        std::printf("  PHP's web server did not start\n");
        return;
    }
    if (!site.HasUncheckedActions()) {
        std::printf("  qlspactions.php has no single line that checks the signature\n");
        return;
    }
    int ads = 0;
    for (const int size : kListSizes) {
        if (!site.Fill(size - ads)) {
            std::printf("  the ads could not be filled in\n");
            return;
        }
        ads = size;
        BenchList(site, ads, size >= 1000000 ? std::min(runs, 5) : runs, size == kListSizes[0]);
        if (size != kListSizes[0]) continue;
        ads += BenchAdd(site, runs);
        BenchVisits(site, runs);
    }
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    curl_global_init(CURL_GLOBAL_DEFAULT);
    QTemporaryDir folder;
    const std::string top = folder.path().toStdString();
    std::printf(
        "PHP's built-in web server with PHP_CLI_SERVER_WORKERS=%d, on loopback; median (fastest\n"
        "to slowest) of %d runs (at most 5 at a million ads); a ratio is the measured script's\n"
        "time over its baseline's in the same run: list_minimal.php runs the same query, joins\n"
        "the rows and sends them the same way, %s is qlspactions.php without\n"
        "the line that checks the signature, getid_minimal.php runs qlspgetid.php's queries\n"
        "and counting. Adds and visits run at 10,000 ads.\n",
        PhpSite::kWorkers, runs, kUnchecked);
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
