#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "PictureChooser.h"
#include "ScriptedSite.h"

// Stands in for the file dialog: hands over the path the test put in, once, after running
// `beforeHanding` (a file that vanishes while the dialog is open).
class ChosenPicture : public PictureChooser {
  public:
    QString Choose(QWidget*) override {
        if (beforeHanding) beforeHanding();
        return std::exchange(path, QString());
    }
    QString path;
    std::function<void()> beforeHanding;
};

// The editor flows against a scripted server standing in for the owner's site.
class AdEditingFlow : public ScriptedSite {
  protected:
    // Runs `steps` one after another once the editor is open, each after the one before has
    // returned, while `flow` runs; true when every step ran.
    bool WithEditor(std::vector<std::function<void(QWidget&)>> steps,
                    const std::function<void()>& flow) {
        size_t done = 0;
        bool inStep = false;
        QTimer poll;  // a fetch may come before the editor opens
        QObject::connect(&poll, &QTimer::timeout, [&] {
            QWidget* dialog = QApplication::activeModalWidget();
            if (inStep || !dialog || done == steps.size()) return;
            inStep = true;
            steps[done++](*dialog);
            inStep = false;
        });
        poll.start(10);
        flow();
        return done == steps.size();
    }
    static void Type(QWidget& dialog, const char* name, const QString& text) {
        dialog.findChild<QLineEdit*>(name)->setText(text);
    }
    static void Ok(QWidget& dialog) { dialog.findChild<QPushButton*>("btnOk")->click(); }
    std::string Field(size_t request, const std::string& name) {
        const std::string body = server.Requests().at(request).body;
        const std::string marker = "name=\"" + name + "\"\r\n\r\n";
        const size_t at = body.find(marker);
        if (at == std::string::npos) return "(absent)";
        const size_t start = at + marker.size();
        return body.substr(start, body.find("\r\n--", start) - start);
    }

    ChosenPicture chooser;
};
