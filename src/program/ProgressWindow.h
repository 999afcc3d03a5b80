#pragma once

#include "assist/TranslationStore.h"

#include <QDialog>
#include <functional>

class QLineEdit;
class QProgressBar;
class QPushButton;

namespace kvt {

// The progress window of program transfers: a small tool window that stays on top.
class ProgressWindow : public QDialog {
    Q_OBJECT
public:
    ProgressWindow(std::function<int()> language, QWidget* parent = nullptr);

    TranslationStore& texts() { return texts_; }

    QProgressBar* ProgressBar;
    QLineEdit* Message;
    QPushButton* BtnOK;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    void BtnOKClick();

    std::function<int()> language_;
    TranslationStore texts_;
};

} // namespace kvt
