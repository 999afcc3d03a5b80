// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "assist/TranslationStore.h"

#include <QDialog>
#include <functional>

class QLineEdit;
class QProgressBar;
class QPushButton;
class QTimer;

namespace kvt {

// The progress window of program transfers: a small tool window that stays on top. It is never
// run in a nested event loop: a modal showing blocks the main window while the event loop goes on
// handling the controller's reports.
class ProgressWindow : public QDialog {
    Q_OBJECT
public:
    ProgressWindow(std::function<int()> language, QWidget* parent = nullptr);

    TranslationStore& texts() { return texts_; }

    // Shows the window for an exchange of `maximum` steps, at step 0, with `message` and OK
    // disabled: modal (the main window waits until it is closed) or not. A window already shown
    // stays as it is shown, unless it must now be modal and is not.
    void begin(const QString& message, int maximum, bool modal);
    // The bar's value is the latest position at once; it is painted within PaintIntervalMs, and
    // at once when the exchange finishes.
    void setProgress(int position);
    // The exchange is over: `message`, and OK closes the window.
    void finish(const QString& message);

    QProgressBar* ProgressBar;
    QLineEdit* Message;
    QPushButton* BtnOK;

    static constexpr int PaintIntervalMs = 40;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void prepareForShowing();
    void closeWindow();
    void paintProgress();

    std::function<int()> language_;
    TranslationStore texts_;
    QTimer* paintTimer_;
};

} // namespace kvt
