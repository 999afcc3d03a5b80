#include "encoder/EncoderTestWindow.h"

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
}

void EncoderTestWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    prepareForShowing();
}

void EncoderTestWindow::prepareForShowing() {
    texts_.setLanguage(language_ ? language_() : TranslationStore::Polish);
}

void EncoderTestWindow::closeWindow() {
    close();
}

} // namespace kvt
