// SPDX-License-Identifier: GPL-3.0-or-later
#include "encoder/EncoderTestWindow.h"

#include "assist/Colors.h"
#include "link/OpCode.h"
#include "link/Transport.h"
#include "shell/AppContext.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace kvt {

EncoderTestWindow::EncoderTestWindow(AppContext& context, std::function<int()> language, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      context_(context), language_(std::move(language)), texts_(this, QStringLiteral("TForm3")) {
    setObjectName(QStringLiteral("TForm3"));
    setWindowTitle(QStringLiteral("Konfiguracja - testowanie enkodera"));
    setFixedSize(541, 120);

    Memo_Enc = new QPlainTextEdit(this);
    Memo_Enc->setObjectName(QStringLiteral("Memo_Enc"));
    Memo_Enc->setReadOnly(true);
    Memo_Enc->setGeometry(8, 8, 400, 104);

    btn_EncoderTest = new QPushButton(QStringLiteral("START"), this);
    btn_EncoderTest->setObjectName(QStringLiteral("btn_EncoderTest"));
    btn_EncoderTest->setGeometry(420, 8, 113, 30);
    connect(btn_EncoderTest, &QPushButton::clicked, this, &EncoderTestWindow::startTest);

    StaticText1 = new QLabel(QStringLiteral("Impulsów z enkodera :"), this);
    StaticText1->setObjectName(QStringLiteral("StaticText1"));
    StaticText1->setGeometry(420, 42, 113, 18);
    StaticText1->hide();

    Edit_EncoderVal = new QLineEdit(QStringLiteral("0"), this);
    Edit_EncoderVal->setObjectName(QStringLiteral("Edit_EncoderVal"));
    Edit_EncoderVal->setReadOnly(true);
    Edit_EncoderVal->setGeometry(420, 60, 113, 20);
    Edit_EncoderVal->hide();

    JvXPButton1 = new QPushButton(QStringLiteral("Zamknij"), this);
    JvXPButton1->setObjectName(QStringLiteral("JvXPButton1"));
    JvXPButton1->setGeometry(420, 84, 113, 28);
    connect(JvXPButton1, &QPushButton::clicked, this, &EncoderTestWindow::closeWindow);

    // Results reach the window whether or not it is shown.
    if (context_.link) {
        context_.link->subscribe(op::EncoderCount, this, [this](const Response& r) { showCount(r); });
        context_.link->subscribe(op::EncoderResult, this, [this](const Response& r) { showResult(r); });
    }
}

void EncoderTestWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    prepareForShowing();
}

void EncoderTestWindow::prepareForShowing() {
    texts_.setLanguage(language_ ? language_() : TranslationStore::Polish);
    // The instructions; the colour of the last verdict stays until START.
    Memo_Enc->setPlainText(QStringList{texts_.text(QStringLiteral("IDS_0")),
                                       texts_.text(QStringLiteral("IDS_1")), QStringLiteral(" "),
                                       texts_.text(QStringLiteral("IDS_2"))}
                               .join(QLatin1Char('\n')));
}

void EncoderTestWindow::startTest() {
    if (context_.link)
        context_.link->sendCode(op::EncoderTest);
    Memo_Enc->setPlainText(texts_.text(QStringLiteral("IDS_3")));
    resetBackground(Memo_Enc);
}

void EncoderTestWindow::closeWindow() {
    close();
}

void EncoderTestWindow::showCount(const Response& response) {
    Edit_EncoderVal->setText(QString::number(encoder::decodeEncoderCount(response.data).count));
}

void EncoderTestWindow::showResult(const Response& response) {
    const std::optional<encoder::VerdictView> view =
        encoder::judge(encoder::decodeEncoderResult(response.data), configuredEncoder());
    if (!view)
        return;
    QStringList lines;
    for (const encoder::VerdictLine& line : view->lines)
        lines << context_.text(line.key) + line.suffix;
    Memo_Enc->setPlainText(lines.join(QLatin1Char('\n')));
    switch (view->colour) {
    case encoder::VerdictColour::Correct:
        setBackground(Memo_Enc, colors::Connected);
        break;
    case encoder::VerdictColour::Doubtful:
        setBackground(Memo_Enc, colors::Warning);
        break;
    case encoder::VerdictColour::Failed:
        setBackground(Memo_Enc, colors::Failed);
        break;
    }
}

void EncoderTestWindow::setEncoderSource(std::function<encoder::EncoderSettings()> source) {
    encoderSource_ = std::move(source);
}

encoder::EncoderSettings EncoderTestWindow::configuredEncoder() const {
    return encoderSource_ ? encoderSource_() : encoder::EncoderSettings{};
}

} // namespace kvt
