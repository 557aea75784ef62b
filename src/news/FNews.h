#pragma once

#include <QDialog>
#include <QTreeWidget>
#include <functional>
#include <string>
#include <vector>

#include "BrandProfile.h"

class HttpClient;
class NewsService;
class QTextBrowser;
class QPushButton;
class Shell;

// The news list. While its window waits for an item's content, it refuses to let the owner
// change the selection, so the content shown always belongs to the selected item.
class NewsItemsView : public QTreeWidget {
    Q_OBJECT
  public:
    using QTreeWidget::QTreeWidget;
    bool busy = false;

  protected:
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override;
};

// The reseller's news: the items of the news list, and the content of the one selected.
class TfrmNews : public QDialog {
    Q_OBJECT
  public:
    // Remembers the item the owner opened; may throw when the profile cannot be rewritten.
    using LastNewsWriter = std::function<void(const std::string& id)>;
    // An item's id travels with it under this role, as bytes, without a column of its own.
    static constexpr int kIdRole = Qt::UserRole;

    TfrmNews(const std::vector<std::string>& newsList, NewsService& service, HttpClient& client,
             const BrandProfile& profile, LastNewsWriter writeLastNewsId, Shell& shell,
             QWidget* parent = nullptr);

    static constexpr int kDesignWidth = 682;
    static constexpr int kDesignHeight = 411;

  public slots:
    void lvwItemsChange();
    void btnExitClick();

  protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

  private:
    void FormShow();
    void ShowBusy(bool busy);

    const std::vector<std::string>& newsList_;
    NewsService& service_;
    HttpClient& client_;
    const BrandProfile& profile_;
    LastNewsWriter writeLastNewsId_;
    // A profile that cannot be rewritten is reported once, not at every item opened.
    bool toldWriteFailure_ = false;
    bool shown_ = false;

    NewsItemsView* lvwItems = nullptr;
    QTextBrowser* prfEditorNews = nullptr;
    QPushButton* btnExit = nullptr;
};
