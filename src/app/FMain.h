#pragma once

#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <string>
#include <vector>

#include "AdListModel.h"
#include "AdService.h"
#include "BrandProfile.h"
#include "HttpClient.h"
#include "NewsService.h"
#include "PictureChooser.h"
#include "PictureIcons.h"
#include "SiteSettings.h"
#include "UpdateCheck.h"

class ClickableLabel;
class Messages;
class MessageBalloon;
class QLabel;
class QPushButton;
class QTabWidget;
class QTextBrowser;
class QToolButton;
class QTreeView;
class Shell;

// The main window: the welcome page or the main page with the toolbar, the banner, the ad
// list, the list buttons and the links. It lives as long as the program and owns everything
// that lasts; every other window is a dialog that one of its buttons opens.
class TfrmMain : public QWidget {
    Q_OBJECT
  public:
    TfrmMain(Messages& messages, Shell& shell, QWidget* parent = nullptr);
    ~TfrmMain() override;

    // Applies the brand profile and loads the site settings. Runs once, right after
    // construction and before the window is first shown; it is separate from the constructor
    // so that the steps it calls can be replaced.
    void FormCreate();

    // Design size of the client area.
    static constexpr int kDesignWidth = 921;
    static constexpr int kDesignHeight = 587;

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

    // Start-up steps that other parts of the program supply.
    virtual void LoadBrandProfile();
    virtual void CheckNewMessage();
    virtual void CheckForUpdates(bool Silent);
    virtual bool CheckService();
    virtual bool LoadAdList();

    Messages& msgMain;
    Shell& shell;
    QtPictureChooser pictureChooser;
    SiteSettings siteSettings;
    HttpClient IdHTTP1;
    AdService adService{IdHTTP1, siteSettings.webserver, siteSettings.actionsscript,
                        siteSettings.ownerkey};
    // The ad list's rows, shown by lvwItems.
    AdListModel adList;
    // The reseller's brand, and the source of its random choices, which tests seed.
    BrandProfile brandProfile;
    RandomIndex randomIndex = MakeRandomIndex();
    // The HTML of the chosen welcome page; empty when the brand has none.
    std::string WelcomePage;
    NewsService newsService{IdHTTP1, msgMain, brandProfile};
    // The news records of the latest News click, "id^title^date" each.
    std::vector<std::string> NewsList;
    // Where the update check asks; tests point it at a local server.
    std::string UpdateBaseURL = kUpdateBaseURL;

    // The id of the news item opened last, kept in the brand profile.
    std::string ReadLastNewsId();
    void WriteLastNewsId(const std::string& id);
    // Shows `text` in a balloon pointing at the News button, replacing one still shown.
    void ShowMessageBalloon(const std::string& text);

    QTimer Timer1;

  public slots:
    void bsSkinButton1Click();
    void Timer1Timer();

    void btnLoadClick();
    void btnPreviewClick();
    void bsSkinButton7Click();
    void btnMakeMoneyClick();
    void btnAboutClick();
    void btnStatsClick();
    void btnNewsClick();
    void btnUpdateClick();
    void btnHelpClick();
    void imgBannerClick();
    void gifBannerClick();

    void btnSelectAllClick();
    void bsSkinButton2Click();
    void bsSkinButton5Click();
    void bsSkinButton6Click();
    void bsSkinButton3Click();
    void bsSkinButton4Click();
    void btnRefreshClick();

  private:
    using Handler = void (TfrmMain::*)();

    void FormShow();
    void FormResize();
    void BuildWelcomePage();
    void BuildMainPage();
    QWidget* BuildToolbar();
    QWidget* BuildBannerPanel();
    QWidget* BuildListButtonBar();
    QWidget* BuildLinksPanel();
    QPushButton* AddButton(QWidget* parent, const char* name, const char* caption, int left,
                           int width, Handler handler);
    QToolButton* AddPictureButton(QWidget* parent, const char* name, const char* hint, int left,
                                  PictureIcon icon, Handler handler);
    void PlacePictureButtons();
    void ShowClientBusy(bool busy);
    void OpenLinkTarget(const QLabel* label);
    template <class Sender, class Signal>
    void Wire(Sender* sender, Signal signal, Handler handler);

    bool shown_ = false;
    QPointer<MessageBalloon> balloon_;

    QTabWidget* pgcPrinc = nullptr;
    QWidget* stsWelcome = nullptr;
    QTextBrowser* prfWelcome = nullptr;
    QPushButton* bsSkinButton1 = nullptr;
    QWidget* stsMain = nullptr;

    QWidget* panToolbar = nullptr;
    QPushButton* btnLoad = nullptr;
    QPushButton* btnPreview = nullptr;
    QPushButton* bsSkinButton7 = nullptr;
    QPushButton* btnMakeMoney = nullptr;
    QPushButton* btnAbout = nullptr;
    QPushButton* btnStats = nullptr;
    QToolButton* btnNews = nullptr;
    QToolButton* bsSkinSpeedButton1 = nullptr;
    QToolButton* bsSkinSpeedButton2 = nullptr;

    QWidget* panBanner = nullptr;
    ClickableLabel* imgBanner = nullptr;
    ClickableLabel* gifBanner = nullptr;

    QTreeView* lvwItems = nullptr;

    QWidget* pan = nullptr;
    QPushButton* btnSelectAll = nullptr;
    QPushButton* bsSkinButton2 = nullptr;
    QPushButton* bsSkinButton5 = nullptr;
    QPushButton* bsSkinButton6 = nullptr;
    QPushButton* bsSkinButton3 = nullptr;
    QPushButton* bsSkinButton4 = nullptr;
    QPushButton* btnRefresh = nullptr;

    QWidget* panLinks = nullptr;
    ClickableLabel* lblLink1URL = nullptr;
    ClickableLabel* lblLink2URL = nullptr;
};
