#include "FMain.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPushButton>
#include <QShortcut>
#include <QTabBar>
#include <QTabWidget>
#include <QTextBrowser>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

#include "AdEditing.h"
#include "AdList.h"
#include "AdListButtons.h"
#include "AdListView.h"
#include "AdPreview.h"
#include "AppDir.h"
#include "BrandDisplay.h"
#include "Centering.h"
#include "ClickableLabel.h"
#include "DialogLayout.h"
#include "ErrorReport.h"
#include "FAbout.h"
#include "FFormCode.h"
#include "FNews.h"
#include "FSettings.h"
#include "FStats.h"
#include "LastNewsId.h"
#include "MessageBalloon.h"
#include "Messages.h"
#include "PictureIcons.h"
#include "ProtectFile.h"
#include "SafeHtml.h"
#include "ServerWait.h"
#include "ShownText.h"
#include "TagText.h"
#include "Text.h"
#include "UUtils.h"
#include "UpdateCheck.h"

namespace {

constexpr int kToolbarHeight = 43;
constexpr int kBannerPanelHeight = 65;
constexpr int kListBarHeight = 38;
constexpr int kLinksHeight = 33;
constexpr int kWelcomeBarHeight = 39;
constexpr int kButtonTop = 6;
constexpr int kButtonHeight = 20;
constexpr int kPictureButtonTop = 1;
constexpr int kPictureButtonWidth = 41;
constexpr int kPictureButtonHeight = 34;
// The banner's place at design time, before a picture gives it its own size.
constexpr int kDesignBannerWidth = 468;
constexpr int kDesignBannerHeight = 60;

QWidget* FixedPanel(const char* name, int height) {
    auto* panel = new QWidget;
    panel->setObjectName(name);
    panel->setFixedHeight(height);
    return panel;
}

}  // namespace

TfrmMain::TfrmMain(Messages& messages, Shell& shellRef, QWidget* parent)
    : QWidget(parent), msgMain(messages), shell(shellRef) {
    setObjectName("frmMain");
    setWindowTitle("Quillspot");
    resize(kDesignWidth, kDesignHeight);
    CenterOnScreen(*this);

    Timer1.setObjectName("Timer1");
    Timer1.setInterval(100);
    connect(&Timer1, &QTimer::timeout, this, [this] { Guarded([this] { Timer1Timer(); }); });

    pgcPrinc = new QTabWidget(this);
    pgcPrinc->setObjectName("pgcPrinc");
    pgcPrinc->setDocumentMode(true);
    pgcPrinc->tabBar()->hide();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(pgcPrinc);

    BuildWelcomePage();
    BuildMainPage();

    new ServerWait(IdHTTP1, this);
    connect(&IdHTTP1, &HttpClient::busyChanged, this, &TfrmMain::ShowClientBusy);
}

void TfrmMain::ShowClientBusy(bool busy) {
    // The client serves one request at a time: while one waits, every button that would send
    // another is visibly unavailable.
    for (QAbstractButton* button : std::initializer_list<QAbstractButton*>{
             btnNews, bsSkinSpeedButton1, bsSkinButton5, bsSkinButton6, bsSkinButton3,
             bsSkinButton4, btnRefresh, btnStats})
        button->setEnabled(!busy);
}

TfrmMain::~TfrmMain() = default;

template <class Sender, class Signal>
void TfrmMain::Wire(Sender* sender, Signal signal, Handler handler) {
    connect(sender, signal, this,
            [this, handler] { Guarded([this, handler] { (this->*handler)(); }); });
}

void TfrmMain::BuildWelcomePage() {
    stsWelcome = new QWidget;
    stsWelcome->setObjectName("stsWelcome");
    prfWelcome = new QTextBrowser;
    prfWelcome->setObjectName("prfWelcome");
    prfWelcome->setReadOnly(true);
    prfWelcome->setOpenLinks(false);
    // Links in the welcome page open in the owner's browser.
    connect(prfWelcome, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) {
        Guarded([this, &url] { OpenInDefaultBrowser(shell, FromQ(url.toString())); });
    });
    QWidget* bar = FixedPanel("panWelcomeButtons", kWelcomeBarHeight);
    bsSkinButton1 = AddButton(bar, "bsSkinButton1", "Thanks, just show me the main application",
                              256, 265, &TfrmMain::bsSkinButton1Click);
    bsSkinButton1->setAutoDefault(true);
    bsSkinButton1->setDefault(true);
    bsSkinButton1->move(256, (kWelcomeBarHeight - kButtonHeight) / 2);
    // Enter anywhere on the page presses the button, as a dialog's default button would.
    for (auto key : {Qt::Key_Return, Qt::Key_Enter}) {
        auto* shortcut = new QShortcut(QKeySequence(key), stsWelcome);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        connect(shortcut, &QShortcut::activated, bsSkinButton1, &QPushButton::click);
    }
    auto* layout = new QVBoxLayout(stsWelcome);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(prfWelcome, 1);
    layout->addWidget(bar);
    pgcPrinc->addTab(stsWelcome, QString());
}

void TfrmMain::BuildMainPage() {
    stsMain = new QWidget;
    stsMain->setObjectName("stsMain");
    auto* layout = new QVBoxLayout(stsMain);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(BuildToolbar());
    layout->addWidget(BuildBannerPanel());

    lvwItems = new AdListView;
    lvwItems->setObjectName("lvwItems");
    SetUpAdListView(*lvwItems, adList);
    layout->addWidget(lvwItems, 1);

    layout->addWidget(BuildListButtonBar());
    layout->addWidget(BuildLinksPanel());
    pgcPrinc->addTab(stsMain, QString());
}

QWidget* TfrmMain::BuildToolbar() {
    panToolbar = FixedPanel("panToolbar", kToolbarHeight);
    btnLoad = AddButton(panToolbar, "btnLoad", "Code To Insert", 6, 139, &TfrmMain::btnLoadClick);
    btnPreview = AddButton(panToolbar, "btnPreview", "Preview Picture Ad", 149, 127,
                           &TfrmMain::btnPreviewClick);
    bsSkinButton7 =
        AddButton(panToolbar, "bsSkinButton7", "Settings", 279, 96, &TfrmMain::bsSkinButton7Click);
    btnMakeMoney =
        AddButton(panToolbar, "btnMakeMoney", "Make Money", 379, 125, &TfrmMain::btnMakeMoneyClick);
    btnAbout = AddButton(panToolbar, "btnAbout", "About", 508, 102, &TfrmMain::btnAboutClick);
    btnStats = AddButton(panToolbar, "btnStats", "Statistics", 614, 102, &TfrmMain::btnStatsClick);
    btnNews = AddPictureButton(panToolbar, "btnNews", "Check News", 782, PictureIcon::News,
                               &TfrmMain::btnNewsClick);
    bsSkinSpeedButton1 = AddPictureButton(panToolbar, "bsSkinSpeedButton1", "Check Updates", 825,
                                          PictureIcon::Update, &TfrmMain::btnUpdateClick);
    bsSkinSpeedButton2 = AddPictureButton(panToolbar, "bsSkinSpeedButton2", "Help", 868,
                                          PictureIcon::Help, &TfrmMain::btnHelpClick);
    panToolbar->installEventFilter(this);
    return panToolbar;
}

QWidget* TfrmMain::BuildBannerPanel() {
    panBanner = FixedPanel("panBanner", kBannerPanelHeight);
    imgBanner = new ClickableLabel(panBanner);
    imgBanner->setObjectName("imgBanner");
    imgBanner->resize(kDesignBannerWidth, kDesignBannerHeight);
    gifBanner = new ClickableLabel(panBanner);
    gifBanner->setObjectName("gifBanner");
    gifBanner->hide();
    Wire(imgBanner, &ClickableLabel::clicked, &TfrmMain::imgBannerClick);
    Wire(gifBanner, &ClickableLabel::clicked, &TfrmMain::gifBannerClick);
    panBanner->installEventFilter(this);
    return panBanner;
}

QWidget* TfrmMain::BuildListButtonBar() {
    pan = FixedPanel("pan", kListBarHeight);
    btnSelectAll =
        AddButton(pan, "btnSelectAll", "Select All", 8, 100, &TfrmMain::btnSelectAllClick);
    bsSkinButton2 =
        AddButton(pan, "bsSkinButton2", "Clear Selection", 112, 100, &TfrmMain::bsSkinButton2Click);
    bsSkinButton5 =
        AddButton(pan, "bsSkinButton5", "Add Ad", 216, 100, &TfrmMain::bsSkinButton5Click);
    bsSkinButton6 =
        AddButton(pan, "bsSkinButton6", "Edit Ad", 320, 100, &TfrmMain::bsSkinButton6Click);
    bsSkinButton3 =
        AddButton(pan, "bsSkinButton3", "Delete Selected", 424, 100, &TfrmMain::bsSkinButton3Click);
    bsSkinButton4 =
        AddButton(pan, "bsSkinButton4", "Delete All", 528, 100, &TfrmMain::bsSkinButton4Click);
    btnRefresh = AddButton(pan, "btnRefresh", "Refresh", 632, 90, &TfrmMain::btnRefreshClick);
    return pan;
}

QWidget* TfrmMain::BuildLinksPanel() {
    panLinks = FixedPanel("panLinks", kLinksHeight);
    lblLink1URL = new ClickableLabel;
    lblLink1URL->setObjectName("lblLink1URL");
    lblLink2URL = new ClickableLabel;
    lblLink2URL->setObjectName("lblLink2URL");
    lblLink2URL->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    for (ClickableLabel* link : {lblLink1URL, lblLink2URL}) {
        link->setText("Google");
        link->setProperty("target", QStringLiteral("http://www.google.com/"));
        link->setCursor(Qt::PointingHandCursor);
        QFont underlined = link->font();
        underlined.setUnderline(true);
        link->setFont(underlined);
        connect(link, &ClickableLabel::clicked, this,
                [this, link] { Guarded([this, link] { OpenLinkTarget(link); }); });
    }
    auto* layout = new QHBoxLayout(panLinks);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(lblLink1URL);
    layout->addStretch(1);
    layout->addWidget(lblLink2URL);
    return panLinks;
}

QPushButton* TfrmMain::AddButton(QWidget* parent, const char* name, const char* caption, int left,
                                 int width, Handler handler) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    button->setGeometry(left, kButtonTop, width, kButtonHeight);
    Wire(button, &QPushButton::clicked, handler);
    return button;
}

QToolButton* TfrmMain::AddPictureButton(QWidget* parent, const char* name, const char* hint,
                                        int left, PictureIcon icon, Handler handler) {
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setToolTip(hint);
    button->setIcon(MakePictureIcon(icon));
    button->setIconSize(QSize(24, 24));
    button->setAutoRaise(true);
    button->setGeometry(left, kPictureButtonTop, kPictureButtonWidth, kPictureButtonHeight);
    button->setProperty("rightMargin", kDesignWidth - left - kPictureButtonWidth);
    Wire(button, &QToolButton::clicked, handler);
    return button;
}

void TfrmMain::PlacePictureButtons() {
    for (QToolButton* button : {btnNews, bsSkinSpeedButton1, bsSkinSpeedButton2}) {
        const int margin = button->property("rightMargin").toInt();
        button->move(panToolbar->width() - margin - button->width(), button->y());
    }
}

bool TfrmMain::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize) {
        if (watched == panBanner) FormResize();
        if (watched == panToolbar) PlacePictureButtons();
    }
    return QWidget::eventFilter(watched, event);
}

void TfrmMain::FormCreate() {
    gifBanner->setGeometry(imgBanner->geometry());
    // Whatever the brand profile load reports, the window must still become usable.
    Guarded([this] { LoadBrandProfile(); });
    if (WelcomePage.empty()) Timer1.start();
    LoadSiteSettings(siteSettings);
}

void TfrmMain::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (shown_) return;
    shown_ = true;
    FormShow();
}

void TfrmMain::FormShow() {
    // Visiting every page once lets each lay itself out before the owner sees it. No events
    // are processed meanwhile: the start-up timer must not fire inside the show.
    for (int i = 0; i < pgcPrinc->count(); ++i) pgcPrinc->setCurrentIndex(i);
    pgcPrinc->setCurrentIndex(0);
    if (!WelcomePage.empty()) {
        prfWelcome->setHtml(ToQ(SafeHtml(WelcomePage)));
        bsSkinButton1->setFocus();
    } else {
        delete stsWelcome;
        stsWelcome = nullptr;
        prfWelcome = nullptr;
        bsSkinButton1 = nullptr;
    }
    pgcPrinc->setCurrentIndex(0);
    FormResize();
}

void TfrmMain::FormResize() {
    for (QWidget* banner : {static_cast<QWidget*>(imgBanner), static_cast<QWidget*>(gifBanner)}) {
        banner->move(CenteredOffset(panBanner->width(), banner->width()),
                     CenteredOffset(panBanner->height(), banner->height()));
    }
}

void TfrmMain::closeEvent(QCloseEvent* event) {
    // A request still waiting ends here and fails like a network error; none starts after.
    IdHTTP1.Disconnect();
    QWidget::closeEvent(event);
}

void TfrmMain::bsSkinButton1Click() {
    pgcPrinc->setCurrentWidget(stsMain);
    if (!WelcomePage.empty()) Timer1.start();
}

void TfrmMain::Timer1Timer() {
    Timer1.stop();
    CheckNewMessage();
    CheckForUpdates(true);
    // The sequence shows no message of its own, but a server that refuses the owner would
    // otherwise leave an empty list and no reason.
    if (!(CheckService() && LoadAdList()) && adService.LastRefusal() != AdService::Refusal::kNone)
        msgMain.Warning(adService.FailureMessage(""));
}

// The reseller's profile names the product, its tier's News button, the Make Money caption
// and the welcome page. Without the file the window keeps its own captions.
void TfrmMain::LoadBrandProfile() {
    const std::string path = BrandFilePath(kBrandProfileFile);
    if (!QFileInfo::exists(ToQ(path))) return;
    // A profile whose authentication code does not match is read all the same.
    brandProfile = ReadBrandProfile(JoinLinesCrLf(DecryptProtectedFile(path).bytes), randomIndex);
    setWindowTitle(ToQ(BrandCaption(brandProfile)));
    btnNews->setVisible(NewsButtonShown(brandProfile));
    btnMakeMoney->setText(ToQ(ShownCaption(brandProfile.MakeMoneyCaption)));
    WelcomePage = brandProfile.WelcomePage;
    ShowBanner(brandProfile, panBanner, imgBanner, gifBanner);
    ShowLinks(brandProfile, panLinks, lblLink1URL, lblLink2URL);
    ApplySkinAndIcon();
}

void TfrmMain::btnMakeMoneyClick() { OpenInDefaultBrowser(shell, brandProfile.AffiliateURL); }
void TfrmMain::btnHelpClick() { OpenInDefaultBrowser(shell, brandProfile.AppHelpURL); }

void TfrmMain::imgBannerClick() {
    if (!brandProfile.BannerURL.empty()) OpenInDefaultBrowser(shell, brandProfile.BannerURL);
}
void TfrmMain::gifBannerClick() { imgBannerClick(); }

void TfrmMain::btnAboutClick() {
    TfrmAbout about(brandProfile, this);
    about.exec();
}

// The highlighted ad's statistics, or every ad's when no row is highlighted.
void TfrmMain::btnStatsClick() {
    std::string id;
    std::string title;
    if (HighlightedAdId(*lvwItems, id))
        title = FromQ(lvwItems->selectionModel()
                          ->selectedRows()
                          .front()
                          .siblingAtColumn(kColumnTitle)
                          .data()
                          .toString());
    TfrmStats stats(adService, IdHTTP1, msgMain, id, title, QDate::currentDate(),
                    &TfrmStats::AskForFile, this);
    stats.exec();
}

// A link label opens its target with the desktop's handler for the address.
void TfrmMain::OpenLinkTarget(const QLabel* label) {
    OpenWithDesktopHandler(shell, FromQ(label->property("target").toString()));
}

bool TfrmMain::CheckService() { return adService.CheckService(); }
bool TfrmMain::LoadAdList() { return adService.LoadAdList(adList); }

void TfrmMain::btnSelectAllClick() { SelectAllAds(adList); }
void TfrmMain::bsSkinButton2Click() { ClearAdSelection(adList); }
void TfrmMain::bsSkinButton3Click() { DeleteSelectedAds(adList, adService, msgMain); }
void TfrmMain::bsSkinButton4Click() { DeleteAllAds(adList, adService, msgMain); }
void TfrmMain::btnRefreshClick() { RefreshAdList(adList, adService, msgMain); }

void TfrmMain::bsSkinButton5Click() {
    AddPictureAd(adList, adService, IdHTTP1, msgMain, pictureChooser, this);
}

void TfrmMain::bsSkinButton6Click() {
    EditPictureAd(*lvwItems, adList, adService, IdHTTP1, msgMain, pictureChooser, this);
}

void TfrmMain::btnPreviewClick() { PreviewAd(*lvwItems, siteSettings.webserver, msgMain, this); }

void TfrmMain::btnLoadClick() {
    TfrmFormCode dialog(siteSettings, this);
    dialog.exec();
}

void TfrmMain::bsSkinButton7Click() {
    TfrmSettings dialog(siteSettings, this);
    dialog.exec();
    // Whichever button closed it, the settings are saved.
    SaveSiteSettings(siteSettings);
}

// The reseller's newest news item, announced at start-up until the owner has opened it.
void TfrmMain::CheckNewMessage() {
    const NewsTier* tier = ActiveNewsTier(brandProfile);
    std::string lastCode, lastTitle;
    if (!tier ||
        !newsService.FetchLastCode(brandProfile.*tier->publisherId, brandProfile.BranderCode,
                                   tier->productType, kNewsTarget, lastCode, lastTitle))
        return;
    std::string stored;
    // The start-up sequence shows no message: a profile that cannot be read has no id stored.
    try {
        stored = ReadLastNewsId();
    } catch (const std::exception&) {
    }
    if (NewerNewsWaiting(lastCode, stored))
        ShowMessageBalloon("You've Got A Message!\r\n" + lastTitle);
}

std::string TfrmMain::ReadLastNewsId() {
    return ::ReadLastNewsId(BrandFilePath(kBrandProfileFile));
}

void TfrmMain::WriteLastNewsId(const std::string& id) {
    // A brand installed with the package is read there; the rewritten profile is the
    // owner's, in the program's folder.
    ::WriteLastNewsId(BrandFilePath(kBrandProfileFile), AppFilePath(kBrandProfileFile), id);
}

void TfrmMain::ShowMessageBalloon(const std::string& text) {
    delete balloon_;
    const QPoint centre = btnNews->geometry().center();
    balloon_ = new MessageBalloon(text, btnNews->parentWidget()->mapToGlobal(centre), this);
    balloon_->show();
}

void TfrmMain::btnNewsClick() {
    NewsList.clear();
    bool fetched = false;
    if (const NewsTier* tier = ActiveNewsTier(brandProfile))
        fetched =
            newsService.FetchNewsList(brandProfile.*tier->publisherId, brandProfile.BranderCode,
                                      tier->productType, kNewsTarget, NewsList);
    if (!fetched || NewsList.empty()) {
        msgMain.Information("There's no news for this application!");
        return;
    }
    TfrmNews news(
        NewsList, newsService, IdHTTP1, brandProfile,
        [this](const std::string& id) { WriteLastNewsId(id); }, shell, this);
    news.exec();
}

void TfrmMain::CheckForUpdates(bool Silent) {
    // Once the updater runs, this program closes so the updater can replace its files.
    if (::CheckForUpdates(IdHTTP1, msgMain, shell, UpdateBaseURL, Silent)) close();
}

void TfrmMain::btnUpdateClick() { CheckForUpdates(false); }
