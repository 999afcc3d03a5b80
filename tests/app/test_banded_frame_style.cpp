// SPDX-License-Identifier: GPL-3.0-or-later
// The application's style draws tab widget and group box frames band by band: the pixels must be
// those of the platform's style, and painting a tall frame must not hand work to other threads.

#include "app/BandedFrameStyle.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QStyleFactory>
#include <QTabWidget>
#include <QTest>
#include <QVBoxLayout>
#include <memory>

namespace {

// A tab widget with a tall group box on its page, as the main window's pages have them.
std::unique_ptr<QTabWidget> framedPage(QStyle* style, QSize size, bool flat) {
    auto tabs = std::make_unique<QTabWidget>();
    tabs->setStyle(style);
    auto* page = new QWidget;
    auto* column = new QVBoxLayout(page);
    auto* group = new QGroupBox(QStringLiteral("Stan wejsc"), page);
    group->setStyle(style);
    group->setFlat(flat);
    auto* inside = new QVBoxLayout(group);
    inside->addWidget(new QLabel(QStringLiteral("Home1"), group));
    inside->addWidget(new QCheckBox(QStringLiteral("We. 0-10V"), group));
    inside->addStretch(1);
    column->addWidget(group);
    tabs->addTab(page, QStringLiteral("Sterowanie"));
    tabs->addTab(new QWidget, QStringLiteral("Konfiguracja"));
    tabs->resize(size);
    tabs->show(); // laid out and polished as in the window
    QCoreApplication::processEvents();
    return tabs;
}

QImage rendered(QWidget& widget) {
    QImage image(widget.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    widget.render(&image);
    return image;
}

int threadsOfProcess() {
    return int(QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size());
}

} // namespace

class BandedFrameStyleTest : public QObject {
    Q_OBJECT

private slots:
    // Runs first, before anything has started the global thread pool.
    void tallFramesArePaintedOnThePaintingThread() {
        const int before = threadsOfProcess();
        kvt::BandedFrameStyle style(QStyleFactory::create(QStringLiteral("Fusion")));
        auto tabs = framedPage(&style, QSize(590, 521), false);
        rendered(*tabs);
        QCOMPARE(threadsOfProcess(), before);
    }

    void sameFramesAsThePlatformStyle_data() {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("flat");
        QTest::newRow("page") << QSize(590, 521) << false;
        QTest::newRow("one band") << QSize(300, kvt::BandedFrameStyle::BandRows) << false;
        QTest::newRow("just over a band") << QSize(300, kvt::BandedFrameStyle::BandRows + 1) << false;
        QTest::newRow("odd height") << QSize(211, 3 * kvt::BandedFrameStyle::BandRows + 7) << false;
        QTest::newRow("flat group") << QSize(400, 300) << true;
        QTest::newRow("tiny") << QSize(40, 20) << false;
    }

    void sameFramesAsThePlatformStyle() {
        QFETCH(QSize, size);
        QFETCH(bool, flat);
        std::unique_ptr<QStyle> plain(QStyleFactory::create(QStringLiteral("Fusion")));
        kvt::BandedFrameStyle banded(QStyleFactory::create(QStringLiteral("Fusion")));
        auto plainTabs = framedPage(plain.get(), size, flat);
        auto bandedTabs = framedPage(&banded, size, flat);
        const QImage expected = rendered(*plainTabs);
        const QImage actual = rendered(*bandedTabs);
        QCOMPARE(actual.size(), expected.size());
        QVERIFY(actual == expected);
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    BandedFrameStyleTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_banded_frame_style.moc"
