#include "FStats.h"

#include <QComboBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QTableWidget>
#include <QVBoxLayout>
#include <optional>

#include "AdService.h"
#include "AtomicFile.h"
#include "ClickRate.h"
#include "DailyChart.h"
#include "DialogLayout.h"
#include "ErrorReport.h"
#include "HttpClient.h"
#include "Messages.h"
#include "StatsCsv.h"
#include "Text.h"

namespace {

constexpr const char* kNoStatistics =
    "This server keeps no daily statistics. The server scripts that come with the program do: "
    "upload them to the site to see each ad's impressions and clicks day by day.";
constexpr const char* kLoadFailed =
    "There is a trouble loading the statistics, please check your settings and your internet "
    "connection.";
constexpr int kRanges[] = {7, 30, 90, 365};

QTableWidgetItem* Cell(const QString& text, Qt::Alignment alignment = Qt::AlignRight) {
    auto* item = new QTableWidgetItem(text);
    item->setTextAlignment(alignment | Qt::AlignVCenter);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

}  // namespace

TfrmStats::TfrmStats(AdService& service, HttpClient& client, Messages& messages,
                     const std::string& adId, const std::string& title, QDate today,
                     ChooseFile chooseFile, QWidget* parent)
    : QDialog(parent),
      service_(service),
      client_(client),
      messages_(messages),
      adId_(adId),
      today_(today),
      chooseFile_(std::move(chooseFile)) {
    setObjectName("frmStats");
    setWindowTitle(ToQ("Statistics - " + (adId.empty() ? std::string("All Ads") : title)));
    chart_ = NewDailyChart(this);
    cbxRange = new QComboBox;
    cbxRange->setObjectName("cbxRange");
    for (const int days : kRanges)
        cbxRange->addItem(QStringLiteral("Last %1 days").arg(days), days);
    cbxRange->setCurrentIndex(cbxRange->findData(kDefaultDays));
    tblDays = new QTableWidget(0, 4);
    tblDays->setObjectName("tblDays");
    tblDays->setHorizontalHeaderLabels({"Day", "Impressions", "Clicks", "Click Rate"});
    tblDays->verticalHeader()->hide();
    tblDays->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    btnExport = new QPushButton("Export CSV...");
    btnExport->setObjectName("btnExport");
    btnClose = new QPushButton("Close");
    btnClose->setObjectName("btnClose");

    auto* range = new QHBoxLayout;
    range->addWidget(new QLabel("Days:"));
    range->addWidget(cbxRange);
    range->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(range);
    layout->addWidget(chart_, 3);
    layout->addWidget(tblDays, 2);
    layout->addLayout(CentredButtons({btnExport, btnClose}));
    resize(760, 620);
    CenterOnScreen(*this);

    connect(cbxRange, &QComboBox::currentIndexChanged, this,
            [this] { Guarded([this] { Load(); }); });
    connect(btnExport, &QPushButton::clicked, this, [this] { Guarded([this] { ExportCsv(); }); });
    connect(btnClose, &QPushButton::clicked, this, &QDialog::accept);
    // One request at a time: no other range is asked for while one waits.
    connect(&client_, &HttpClient::busyChanged, this, [this](bool busy) {
        cbxRange->setEnabled(!busy);
        btnExport->setEnabled(!busy);
    });
}

std::string TfrmStats::AskForFile(QWidget* parent) {
    return FromQ(QFileDialog::getSaveFileName(parent, "Export CSV", "statistics.csv",
                                              "CSV files (*.csv);;All files (*)"));
}

void TfrmStats::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Asked once the window shows, so the owner sees what is waited for.
    if (!std::exchange(loaded_, true))
        QMetaObject::invokeMethod(
            this, [this] { Guarded([this] { Load(); }); }, Qt::QueuedConnection);
}

void TfrmStats::Load() {
    ShowSeries({});
    const QDate first = today_.addDays(1 - cbxRange->currentData().toInt());
    const std::optional<std::string> reply =
        service_.PostAction("7", {{"ad_id", adId_.empty() ? std::string("all") : adId_},
                                  {"first_day", first.toString(Qt::ISODate).toStdString()},
                                  {"last_day", today_.toString(Qt::ISODate).toStdString()}});
    if (!reply) {
        // A server that answered with an error status does not know the request.
        const bool answered = service_.LastRefusal() == AdService::Refusal::kNone &&
                              client_.LastFailure().status != 0;
        messages_.Warning(answered ? kNoStatistics : service_.FailureMessage(kLoadFailed));
        return;
    }
    bool numeric = false;
    const qint64 id = ToQ(adId_).toLongLong(&numeric);
    const std::optional<std::int64_t> ad = numeric ? std::optional<std::int64_t>(id) : std::nullopt;
    const DailyCounts counts = ReadDailyCounts(*reply, first, today_, ad);
    switch (counts.outcome) {
        case DailyCounts::Outcome::kRead:
            ShowSeries(counts.series);
            break;
        case DailyCounts::Outcome::kNoStatistics:
            messages_.Warning(kNoStatistics);
            break;
        case DailyCounts::Outcome::kMalformed:
            messages_.Warning("The server's daily statistics cannot be read, so none are shown: " +
                              counts.error + ".");
            break;
    }
}

void TfrmStats::ShowSeries(const DailySeries& series) {
    shown_ = series;
    chart_->Show(series);
    tblDays->setRowCount(static_cast<int>(series.days.size()));
    for (std::size_t i = 0; i < series.days.size(); ++i) {
        const DayTotals& day = series.days[i];
        const int row = static_cast<int>(i);
        tblDays->setItem(row, 0,
                         Cell(series.first.addDays(row).toString(Qt::ISODate), Qt::AlignLeft));
        tblDays->setItem(row, 1, Cell(QString::number(day.impressions)));
        tblDays->setItem(row, 2, Cell(QString::number(day.clicks)));
        tblDays->setItem(row, 3, Cell(ClickRateText(day.impressions, day.clicks)));
    }
}

void TfrmStats::ExportCsv() {
    const std::string path = chooseFile_(this);
    if (path.empty()) return;
    WriteFileAtomically(path, StatsCsv(shown_));
}
