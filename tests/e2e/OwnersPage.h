#pragma once

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <string>

#include "PageSnippets.h"

// A folder of the owner's own site holding page.php: the header snippet for `webserver`,
// "<p>My page</p>", then the display snippet, as the owner pastes them.
class OwnersPage {
  public:
    explicit OwnersPage(const std::string& webserver) {
        QFile page(folder_.filePath("page.php"));
        EXPECT_TRUE(page.open(QIODevice::WriteOnly));
        page.write(QByteArray::fromStdString(HeaderSnippet(webserver) + "<p>My page</p>" +
                                             DisplaySnippet(webserver)));
    }

    std::string Folder() const { return folder_.path().toStdString(); }

  private:
    QTemporaryDir folder_;
};
