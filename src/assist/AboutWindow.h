// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "assist/TranslationStore.h"
#include "version/Version.h"

#include <QDialog>
#include <functional>

class QLabel;
class QPushButton;
class QTextEdit;

namespace kvt {

// The About window: program name and version, purpose, and the maker's contact lines.
class AboutWindow : public QDialog {
    Q_OBJECT
public:
    // `language` tells the main window's chosen language (1 Polish, 2 English) at each showing.
    AboutWindow(std::function<int()> language, QWidget* parent = nullptr);

    TranslationStore& texts() { return texts_; }

    QTextEdit* Info;
    QLabel* Image2;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QPushButton* btn_Close;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void prepareForShowing();
    void closeWindow();
    void fitInfo();

    std::function<int()> language_;
    TranslationStore texts_;
};

} // namespace kvt
