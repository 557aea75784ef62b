#pragma once

#include <gtest/gtest.h>

#include <QTreeView>

#include "AdList.h"
#include "AdService.h"
#include "HttpClient.h"
#include "MessageRecorder.h"
#include "ScriptedHttpServer.h"
#include "SiteSettings.h"

// The owner's site played by a scripted server, the ad service pointed at it, and the ad
// list with its view and message box, as the main window would hold them.
class ScriptedSite : public ::testing::Test {
  protected:
    ScriptedSite() {
        settings.webserver = server.Url();
        settings.actionsscript = kActionsScript;
        client.SetReadTimeout(5000);
        SetUpAdListView(view, list);
    }

    ScriptedHttpServer server;
    HttpClient client;
    SiteSettings settings;
    AdService service{client, settings.webserver, settings.actionsscript, settings.ownerkey};
    MessageRecorder messages;
    AdListModel list;
    QTreeView view;
};
