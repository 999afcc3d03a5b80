// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "assist/TranslationStore.h"
#include "encoder/core/EncoderVerdict.h"

#include <QDialog>
#include <functional>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace kvt {

struct AppContext;
struct Response;

// The encoder test window ("TForm3"): START makes the controller turn the motor one revolution
// and count the encoder pulses; the window judges the count against the encoder settings of the
// Configuration page at the moment the result arrives and shows a coloured verdict. The
// Configuration page's "Testuj" button opens it modally.
class EncoderTestWindow : public QDialog {
    Q_OBJECT
public:
    EncoderTestWindow(AppContext& context, std::function<int()> language, QWidget* parent = nullptr);

    TranslationStore& texts() { return texts_; }
    // Where the encoder settings a result is judged against come from: the Configuration page's
    // controls at the moment the result arrives.
    void setEncoderSource(std::function<encoder::EncoderSettings()> source);

    QPlainTextEdit* Memo_Enc;
    QPushButton* btn_EncoderTest;
    QPushButton* JvXPButton1;
    QLabel* StaticText1;
    QLineEdit* Edit_EncoderVal;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void prepareForShowing();
    void startTest();
    void closeWindow();
    void showCount(const Response& response);
    void showResult(const Response& response);
    encoder::EncoderSettings configuredEncoder() const;

    AppContext& context_;
    std::function<int()> language_;
    TranslationStore texts_;
    std::function<encoder::EncoderSettings()> encoderSource_;
};

} // namespace kvt
