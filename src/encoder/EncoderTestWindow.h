#pragma once

#include "assist/TranslationStore.h"

#include <QDialog>
#include <functional>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace kvt {

struct AppContext;

// The encoder test window: starts the controller's encoder test and shows its verdict.
class EncoderTestWindow : public QDialog {
    Q_OBJECT
public:
    EncoderTestWindow(AppContext& context, std::function<int()> language, QWidget* parent = nullptr);

    TranslationStore& texts() { return texts_; }

    QPlainTextEdit* Memo_Enc;
    QPushButton* btn_EncoderTest;
    QPushButton* JvXPButton1;
    QLabel* StaticText1;
    QLineEdit* Edit_EncoderVal;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void prepareForShowing();
    void closeWindow();

    AppContext& context_;
    std::function<int()> language_;
    TranslationStore texts_;
};

} // namespace kvt
