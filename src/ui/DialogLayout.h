#pragma once

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <initializer_list>
#include <limits>

// The owner's dialogs have a title but no buttons in the title bar.
inline constexpr Qt::WindowFlags kTitleOnlyDialog =
    Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;

// `buttons` side by side in the middle of a row.
inline QHBoxLayout* CentredButtons(std::initializer_list<QPushButton*> buttons) {
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    for (QPushButton* button : buttons) row->addWidget(button);
    row->addStretch(1);
    return row;
}

// Lets `box` take a value of any length. A QLineEdit cuts what is typed, pasted or set to
// 32,767 characters by default, which would shorten a long value without a word.
inline void RemoveLengthLimit(QLineEdit& box) { box.setMaxLength(std::numeric_limits<int>::max()); }

// Places `window` in the middle of the free area of the screen that shows its parent's window
// (the primary screen for a window without a parent). Called before the window is first
// shown, it also keeps Qt from placing a dialog over its parent instead.
inline void CenterOnScreen(QWidget& window) {
    const QWidget* parent = window.parentWidget();
    if (const QScreen* screen =
            parent ? parent->window()->screen() : QGuiApplication::primaryScreen())
        window.move(screen->availableGeometry().center() - window.rect().center());
}
