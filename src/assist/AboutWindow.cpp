// SPDX-License-Identifier: GPL-3.0-or-later
#include "assist/AboutWindow.h"

#include "assist/Colors.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTextDocument>
#include <QTextEdit>
#include <algorithm>
#include <cmath>

namespace kvt {

namespace {
constexpr int WindowWidth = 483;
constexpr int WindowHeight = 234;
constexpr int InfoHeight = 105;

// The picture of the window: a stylised stepper motor with its controller.
QPixmap makePicture() {
    QPixmap pixmap(81, 81);
    pixmap.fill(Qt::white);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(60, 60, 60), 1.5));
    p.setBrush(QColor(90, 100, 115));
    p.drawRoundedRect(QRectF(12, 22, 46, 46), 4, 4);
    p.setBrush(QColor(40, 110, 200));
    p.drawRoundedRect(QRectF(12, 8, 46, 14), 3, 3);
    p.setBrush(QColor(200, 200, 205));
    p.drawRect(QRectF(58, 41, 16, 8));
    p.setBrush(QColor(160, 165, 175));
    p.drawEllipse(QRectF(25, 35, 20, 20));
    return pixmap;
}
} // namespace

AboutWindow::AboutWindow(std::function<int()> language, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      language_(std::move(language)), texts_(this, QStringLiteral("TForm2")) {
    setObjectName(QStringLiteral("TForm2"));
    setWindowTitle(QStringLiteral("O programie"));
    setFixedSize(WindowWidth, WindowHeight);
    setBackground(this, Qt::white);

    Info = new QTextEdit(this);
    Info->setObjectName(QStringLiteral("Info"));
    Info->setReadOnly(true);
    Info->setFrameShape(QFrame::NoFrame);
    Info->setGeometry(9, 8, 465, InfoHeight);
    Info->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Info->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setBackground(Info, Qt::white);

    Image2 = new QLabel(this);
    Image2->setObjectName(QStringLiteral("Image2"));
    Image2->setPixmap(makePicture());
    Image2->setGeometry(12, 132, 81, 81);

    Label1 = new QLabel(QStringLiteral("KVT Napędy sp. z o.o."), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(110, 136, 260, 20);
    Label2 = new QLabel(QStringLiteral("www.example-drives.pl"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(110, 160, 260, 20);
    Label3 = new QLabel(QStringLiteral("biuro@example-drives.pl"), this);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->setGeometry(110, 184, 260, 20);

    btn_Close = new QPushButton(QStringLiteral("Zamknij"), this);
    btn_Close->setObjectName(QStringLiteral("btn_Close"));
    btn_Close->setGeometry(385, 196, 88, 28);
    connect(btn_Close, &QPushButton::clicked, this, &AboutWindow::closeWindow);
    for (QWidget* below :
         {static_cast<QWidget*>(Image2), static_cast<QWidget*>(Label1), static_cast<QWidget*>(Label2),
          static_cast<QWidget*>(Label3), static_cast<QWidget*>(btn_Close)})
        below->setProperty("designY", below->y());
    texts_.applyFonts();
}

void AboutWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    prepareForShowing();
}

void AboutWindow::prepareForShowing() {
    texts_.setLanguage(language_ ? language_() : TranslationStore::Polish);
    Info->clear();
    const QStringList lines = {texts_.text(QStringLiteral("IDS_0")) + QLatin1String(ProgramVersion),
                               QStringLiteral(" "), texts_.text(QStringLiteral("IDS_2")), QStringLiteral(" "),
                               texts_.text(QStringLiteral("IDS_1"))};
    Info->setPlainText(lines.join(QLatin1Char('\n')));
    texts_.applyFonts();
    fitInfo();
}

void AboutWindow::fitInfo() {
    // The text is shown whole, without a scroll bar: the window grows below the text as needed.
    QTextDocument* document = Info->document();
    document->setTextWidth(Info->viewport()->width());
    const int needed = int(std::ceil(document->size().height())) + 2 * Info->frameWidth();
    const int extra = std::max(0, needed - InfoHeight);
    Info->setFixedHeight(InfoHeight + extra);
    for (QWidget* below :
         {static_cast<QWidget*>(Image2), static_cast<QWidget*>(Label1), static_cast<QWidget*>(Label2),
          static_cast<QWidget*>(Label3), static_cast<QWidget*>(btn_Close)})
        below->move(below->x(), below->property("designY").toInt() + extra);
    setFixedSize(WindowWidth, WindowHeight + extra);
}

void AboutWindow::closeWindow() {
    close();
}

} // namespace kvt
