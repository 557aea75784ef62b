#include "FNews.h"

#include <QHeaderView>
#include <QPushButton>
#include <QSplitter>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "DialogLayout.h"
#include "ErrorReport.h"
#include "HttpClient.h"
#include "NewsService.h"
#include "SafeHtml.h"
#include "Text.h"
#include "UUtils.h"

namespace {

constexpr int kListHeight = 105;
constexpr int kSplitterHeight = 10;
constexpr int kBottomHeight = 41;
constexpr int kPublishedWidth = 160;

}  // namespace

QItemSelectionModel::SelectionFlags NewsItemsView::selectionCommand(const QModelIndex& index,
                                                                    const QEvent* event) const {
    return busy ? QItemSelectionModel::NoUpdate : QTreeWidget::selectionCommand(index, event);
}

TfrmNews::TfrmNews(const std::vector<std::string>& newsList, NewsService& service,
                   HttpClient& client, const BrandProfile& profile, LastNewsWriter writeLastNewsId,
                   Shell& shell, QWidget* parent)
    : QDialog(parent),
      newsList_(newsList),
      service_(service),
      client_(client),
      profile_(profile),
      writeLastNewsId_(std::move(writeLastNewsId)) {
    setObjectName("frmNews");
    setWindowTitle("News");
    resize(kDesignWidth, kDesignHeight);

    lvwItems = new NewsItemsView;
    lvwItems->setObjectName("lvwItems");
    lvwItems->setRootIsDecorated(false);
    lvwItems->setUniformRowHeights(true);
    lvwItems->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvwItems->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvwItems->setSelectionMode(QAbstractItemView::SingleSelection);
    lvwItems->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    lvwItems->setHeaderLabels({"News Title", "Published"});
    // The title takes whatever the date leaves; sizing it to its contents would measure
    // every item of a long list.
    lvwItems->header()->setStretchLastSection(false);
    lvwItems->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    lvwItems->header()->setSectionResizeMode(1, QHeaderView::Fixed);
    lvwItems->header()->resizeSection(1, kPublishedWidth);
    lvwItems->setMinimumHeight(kSplitterHeight);
    connect(lvwItems, &QTreeWidget::itemSelectionChanged, this,
            [this] { Guarded([this] { lvwItemsChange(); }); });

    prfEditorNews = new QTextBrowser;
    prfEditorNews->setObjectName("prfEditorNews");
    prfEditorNews->setReadOnly(true);
    prfEditorNews->setOpenLinks(false);
    prfEditorNews->setMinimumHeight(kSplitterHeight);
    // Links in the news open in the owner's browser.
    connect(prfEditorNews, &QTextBrowser::anchorClicked, this, [&shell](const QUrl& url) {
        Guarded([&] { OpenInDefaultBrowser(shell, FromQ(url.toString())); });
    });

    auto* splitter = new QSplitter(Qt::Vertical);
    splitter->setHandleWidth(kSplitterHeight);
    splitter->setChildrenCollapsible(false);
    splitter->addWidget(lvwItems);
    splitter->addWidget(prfEditorNews);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes(
        {kListHeight, kDesignHeight - kListHeight - kSplitterHeight - kBottomHeight});

    auto* bottom = new QWidget;
    bottom->setObjectName("panBottom");
    bottom->setFixedHeight(kBottomHeight);
    btnExit = new QPushButton("Close", bottom);
    btnExit->setObjectName("btnExit");
    btnExit->setGeometry(304, 7, 97, 20);
    connect(btnExit, &QPushButton::clicked, this, &TfrmNews::btnExitClick);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(splitter, 1);
    layout->addWidget(bottom);
    CenterOnScreen(*this);
}

void TfrmNews::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (shown_) return;
    shown_ = true;
    FormShow();
}

void TfrmNews::FormShow() {
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(newsList_.size()));
    for (const std::string& record : newsList_) {
        // A record cut short shows its missing fields empty.
        std::vector<std::string> fields;
        SplitByChar('^', record, fields);
        fields.resize(std::max<size_t>(fields.size(), 3));
        auto* item = new QTreeWidgetItem({ToQ(fields[1]), ToQ(fields[2])});
        item->setData(0, kIdRole, QByteArray::fromStdString(fields[0]));
        items.append(item);
    }
    lvwItems->addTopLevelItems(items);
}

void TfrmNews::ShowBusy(bool busy) {
    lvwItems->busy = busy;
    for (QWidget* widget :
         {static_cast<QWidget*>(this), lvwItems->viewport(), prfEditorNews->viewport()}) {
        if (busy)
            widget->setCursor(Qt::WaitCursor);
        else
            widget->unsetCursor();
    }
}

void TfrmNews::lvwItemsChange() {
    const QList<QTreeWidgetItem*> selected = lvwItems->selectedItems();
    const NewsTier* tier = ActiveNewsTier(profile_);
    if (selected.isEmpty() || !tier) return;
    const std::string id = selected.front()->data(0, kIdRole).toByteArray().toStdString();
    // Whatever happens below, the window is usable again afterwards.
    struct BusyScope {
        TfrmNews& window;
        ~BusyScope() { window.ShowBusy(false); }
    } scope{*this};
    ShowBusy(true);
    std::string content;
    if (!service_.FetchNewsDetails(profile_.*tier->publisherId, profile_.BranderCode,
                                   tier->productType, kNewsTarget, id, content))
        return;
    prfEditorNews->setHtml(ToQ(SafeHtml(content)));
    try {
        writeLastNewsId_(id);
    } catch (const std::exception& e) {
        if (!toldWriteFailure_) ReportError(e);
        toldWriteFailure_ = true;
    }
}

void TfrmNews::btnExitClick() { close(); }

void TfrmNews::done(int result) {
    // Closing gives up a wait for an item's content.
    if (lvwItems->busy) client_.Cancel();
    QDialog::done(result);
}
