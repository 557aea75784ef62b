// The ad list and the ad service against baselines that pay nothing they do not:
// - a Refresh (the list filled from its reply and the view painted) of 1,000, 10,000 and
//   100,000 ads, beside drawing the strings of the same visible rows with no model at all;
//   and the list's memory beside its reply's size;
// - Select All at 100,000 ads;
// - the service check's round trip beside bare libcurl posting the same bytes on one easy
//   handle that opens a new connection per request, quiet and with every core kept busy,
//   over plain http and over https (a TLS relay in front of the same server, its certificate
//   verified against a test authority).
// Every figure is the median and the spread of alternating runs.
//
// Usage: ads_bench [runs]
#include <curl/curl.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTreeView>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "AdList.h"
#include "AdListButtons.h"
#include "AdService.h"
#include "FormPost.h"
#include "HttpClient.h"
#include "ScriptedHttpServer.h"
#include "SiteSettings.h"
#include "Stats.h"
#include "TestCertificates.h"
#include "Text.h"
#include "TlsRelay.h"

namespace {

constexpr int kRoundTrips = 200;

std::vector<std::string> Fields(int i) {
    const std::string n = std::to_string(i);
    return {n,
            "Ad title " + n,
            "A subtitle for ad " + n,
            "http://www.example.com/offer/" + n,
            "Some content text of a moderate length for ad " + n,
            "picture" + n + ".jpg",
            std::to_string(1000 + i),
            std::to_string(i % 97),
            i % 2 ? "1" : "0"};
}

std::string MakeReply(int records) {
    std::string reply;
    for (int i = 0; i < records; ++i) {
        std::string record;
        for (const std::string& field : Fields(i))
            record += (record.empty() ? "\"" : ",\"") + field + "\"";
        reply += record + "^";
    }
    return reply + "OK";
}

// The texts of one row as the list shows them.
QStringList RowTexts(int i) {
    const std::vector<std::string> f = Fields(i);
    char rate[32];
    std::snprintf(rate, sizeof rate, "%.2f%%", (i % 97) * 100.0 / (1000 + i));
    return {ToQ(f[1]),
            ToQ(f[2]),
            ToQ(f[3]),
            ToQ(f[4]),
            ToQ(f[5]),
            rate,
            i % 2 ? "Active" : "No Active"};
}

// The least any list must do to show the rows: draw their strings into the view's area.
void DrawStrings(QImage& image, const std::vector<QStringList>& rows, int rowHeight,
                 const std::vector<int>& widths) {
    image.fill(Qt::white);
    QPainter painter(&image);
    int y = 0;
    for (const QStringList& row : rows) {
        int x = 0;
        for (int column = 0; column < row.size(); ++column) {
            painter.drawText(QRect(x, y, widths[static_cast<size_t>(column)], rowHeight),
                             Qt::AlignVCenter, row[column]);
            x += widths[static_cast<size_t>(column)];
        }
        y += rowHeight;
    }
}

void BenchRefresh(int runs) {
    QTreeView view;
    AdListModel list;
    SetUpAdListView(view, list);
    view.resize(921, 400);
    view.show();
    std::vector<int> widths;
    for (int column = 0; column < kAdListColumns; ++column)
        widths.push_back(view.columnWidth(column));

    std::printf("Refresh, the list filled from the reply and painted:\n");
    for (const int records : {1000, 10000, 100000}) {
        const std::string reply = MakeReply(records);
        std::string arriving;
        FillAdList(list, reply);
        QImage painted(view.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
        // The view paints into an image of its own size, as the baseline draws.
        const auto paint = [&] { view.viewport()->render(&painted); };
        paint();
        const int rowHeight = view.sizeHintForRow(0);
        std::vector<QStringList> shown;
        for (int i = 0; i * rowHeight < view.viewport()->height() && i < records; ++i)
            shown.push_back(RowTexts(i));
        QImage image(view.viewport()->size(), QImage::Format_ARGB32_Premultiplied);

        const std::vector<Stats> ms =
            TimeAlternating(runs, {{[&] {
                                        FillAdList(list, std::move(arriving));
                                        paint();
                                    },
                                    [&] { arriving = reply; }},
                                   {[&] { DrawStrings(image, shown, rowHeight, widths); }}});
        std::printf("  %6d ads: ", records);
        ms[0].Print("%.2f");
        std::printf(" ms; drawing the %zu shown rows alone ", shown.size());
        ms[1].Print("%.2f");
        std::printf(" ms; ratio %.1f", ms[0].Median() / ms[1].Median());
        if (records == 100000) std::printf(" (target under 80 ms)");
        std::printf(
            "\n              list memory %.1f MB for a reply of %.1f MB: %.2f times (target <= "
            "2)\n",
            list.MemoryBytes() / 1e6, reply.size() / 1e6,
            static_cast<double>(list.MemoryBytes()) / static_cast<double>(reply.size()));
        if (records == 100000) {
            bool checked = false;
            const std::vector<Stats> select = TimeAlternating(runs, {{[&] {
                                                                  checked = !checked;
                                                                  if (checked)
                                                                      SelectAllAds(list);
                                                                  else
                                                                      ClearAdSelection(list);
                                                                  paint();
                                                              }}});
            std::printf("Select All or Clear Selection at 100000 ads, painted: ");
            select[0].Print("%.2f");
            std::printf(" ms (target under 50 ms)\n");
        }
    }
}

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
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    std::printf("median (fastest to slowest) of %d runs\n", runs);
    BenchRefresh(runs);
    BenchRoundTrips(runs);
    return 0;
}
