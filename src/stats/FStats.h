#pragma once

#include <QDate>
#include <QDialog>
#include <functional>
#include <string>

#include "DailyCounts.h"

class AdService;
class DailyChart;
class HttpClient;
class Messages;
class QComboBox;
class QPushButton;
class QTableWidget;

// The Statistics window: impressions and clicks per day of one ad, or of all ads together,
// over the last 7, 30, 90 or 365 days, as a chart and a table that Export CSV... writes out.
// It asks the server once when it opens and once per change of range.
class TfrmStats : public QDialog {
    Q_OBJECT
  public:
    // The file the owner names to save the table in; empty when the owner gives up.
    using ChooseFile = std::function<std::string(QWidget* parent)>;

    static constexpr int kDefaultDays = 30;

    // `adId` empty means every ad; `title` is the ad's, shown in the caption. `today` ends
    // every range. Throws std::runtime_error when the chart module cannot be loaded.
    TfrmStats(AdService& service, HttpClient& client, Messages& messages, const std::string& adId,
              const std::string& title, QDate today, ChooseFile chooseFile,
              QWidget* parent = nullptr);

    // The chooser the program uses: the desktop's save dialog.
    static std::string AskForFile(QWidget* parent);

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void Load();
    void ShowSeries(const DailySeries& series);
    void ExportCsv();

    AdService& service_;
    HttpClient& client_;
    Messages& messages_;
    std::string adId_;
    QDate today_;
    ChooseFile chooseFile_;
    DailySeries shown_;
    bool loaded_ = false;

    DailyChart* chart_ = nullptr;
    QComboBox* cbxRange = nullptr;
    QTableWidget* tblDays = nullptr;
    QPushButton* btnExport = nullptr;
    QPushButton* btnClose = nullptr;
};
