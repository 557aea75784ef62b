// The ad list and the ad service against baselines that pay nothing they do not:
// - the main window's Refresh at up to a million ads beside bare libcurl receiving and
//   cutting the same reply, the process's memory, Select All and a header sort;
// - the service check's round trip beside bare libcurl posting the same bytes on one easy
//   handle that opens a new connection per request, quiet and with every core kept busy,
//   over plain http and over https (a TLS relay in front of the same server, its certificate
//   verified against a test authority).
// Every figure is the median and the spread of alternating runs. The window draws on xcb when
// there is a display (run it under xvfb-run where there is none), offscreen otherwise.
//
// Usage: ads_bench [runs]
#include <curl/curl.h>

#include <QApplication>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "AdService.h"
#include "FormPost.h"
#include "HttpClient.h"
#include "ScriptedHttpServer.h"
#include "SiteSettings.h"
#include "Stats.h"
#include "TestCertificates.h"
#include "TlsRelay.h"
#include "WindowBench.h"

namespace {

constexpr int kRoundTrips = 200;

struct EasyDeleter {
    void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};

size_t Discard(char*, size_t size, size_t count, void*) { return size * count; }

// The same request the service check makes, sent with nothing but libcurl on one easy handle
// that opens a new connection for every request, as the client does.
void BarePosts(CURL* easy, const std::string& url, const MultipartForm& form,
               const std::string& authority) {
    curl_slist* headers = curl_slist_append(nullptr, "Accept: text/html, */*");
    headers = curl_slist_append(headers, ("Content-Type: " + form.contentType).c_str());
    curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
    curl_easy_setopt(easy, CURLOPT_USERAGENT, "Mozilla/4.0 (compatible; MSIE 5.5; Windows NT 4.0)");
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_0));
    curl_easy_setopt(easy, CURLOPT_FRESH_CONNECT, 1L);
    curl_easy_setopt(easy, CURLOPT_FORBID_REUSE, 1L);
    curl_easy_setopt(easy, CURLOPT_PROXY, "");
    curl_easy_setopt(easy, CURLOPT_CAINFO, authority.c_str());
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, Discard);
    curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(form.body.size()));
    curl_easy_setopt(easy, CURLOPT_POSTFIELDS, form.body.data());
    for (int i = 0; i < kRoundTrips; ++i) {
        if (curl_easy_perform(easy) != CURLE_OK) std::printf("bare post failed\n");
    }
    curl_slist_free_all(headers);
}

// One thread per core spinning for as long as it lives: a loaded machine.
class Load {
  public:
    Load() {
        for (unsigned i = 0; i < std::max(1u, std::thread::hardware_concurrency()); ++i)
            threads_.emplace_back([this] {
                while (!stop_) {
                }
            });
    }
    ~Load() {
        stop_ = true;
        for (std::thread& thread : threads_) thread.join();
    }

  private:
    std::atomic<bool> stop_{false};
    std::vector<std::thread> threads_;
};

// The service check's round trips to `site` beside bare libcurl's posts to the same address.
void BenchRoundTrips(int runs, const std::string& site, const std::string& authority) {
    SiteSettings settings;
    settings.webserver = site;
    settings.actionsscript = kActionsScript;
    const QDateTime now = QDateTime::currentDateTime();
    HttpClient client;
    AdService service(client, settings.webserver, settings.actionsscript, settings.ownerkey,
                      [now] { return now; });
    const MultipartForm form = BuildForm({{"action", "1"}, {"end", ""}}, now);
    std::unique_ptr<CURL, EasyDeleter> easy(curl_easy_init());
    const std::string scheme = site.substr(0, site.find(':'));

    for (const bool loaded : {false, true}) {
        std::unique_ptr<Load> load = loaded ? std::make_unique<Load>() : nullptr;
        const std::vector<Stats> ms = TimeAlternating(
            runs, {{[&] {
                       for (int i = 0; i < kRoundTrips; ++i) {
                           if (!service.CheckService()) std::printf("service check failed\n");
                       }
                   }},
                   {[&] { BarePosts(easy.get(), site + "/" + kActionsScript, form, authority); }}});
        Stats ratios;
        for (size_t i = 0; i < ms[0].values.size(); ++i)
            ratios.values.push_back(ms[0].values[i] / ms[1].values[i]);
        std::printf("%s, %s, %d round trips a run: CheckService ", scheme.c_str(),
                    loaded ? "loaded" : "quiet", kRoundTrips);
        ms[0].Print("%.1f");
        std::printf(" ms, bare libcurl ");
        ms[1].Print("%.1f");
        std::printf(" ms, ratio ");
        ratios.Print("%.2f");
        std::printf(" (target <= 1.20)\n");
    }
}

void BenchRoundTrips(int runs) {
    ScriptedHttpServer server;
    ScriptedHttpServer::Reply ok;
    ok.body = "OK";
    server.SetDefault(ok);
    const TestCertificates certificates;
    const TlsRelay relay(certificates.Site(), server.Port());
    // The client trusts the authority where every OpenSSL program looks; bare libcurl is
    // given the same file.
    setenv("SSL_CERT_FILE", certificates.AuthorityFile().c_str(), 1);
    for (const std::string& site : {server.Url(), relay.Url()})
        BenchRoundTrips(runs, site, certificates.AuthorityFile());
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    std::printf("median (fastest to slowest) of %d runs\n", runs);
    BenchWindow(runs);
    BenchRoundTrips(runs);
    return 0;
}
