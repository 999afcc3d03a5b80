// SPDX-License-Identifier: GPL-3.0-or-later
// The trend window comes from a module the program loads when the window is first opened: the
// program itself must not bind Qt Charts (or the OpenGL libraries behind it) at start-up, must
// open the window from the module, and must say clearly when the module is missing or unusable.

#include "app/TrendModule.h"

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The shared libraries an ELF file asks for (readelf's NEEDED entries).
QStringList neededLibraries(const QString& file) {
    QProcess readelf;
    readelf.start(QStringLiteral("readelf"), {QStringLiteral("-d"), QStringLiteral("-W"), file});
    if (!readelf.waitForFinished(30000) || readelf.exitCode() != 0)
        return {QStringLiteral("readelf failed on ") + file};
    QStringList needed;
    for (const QByteArray& line : readelf.readAllStandardOutput().split('\n')) {
        const qsizetype open = line.indexOf("Shared library: [");
        if (open >= 0)
            needed << QString::fromUtf8(line.mid(open + 17, line.indexOf(']', open) - open - 17));
    }
    return needed;
}

struct Run {
    int exitCode = -1;
    bool crashed = true;
    QString standardError;
};

Run runProgram(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    Run run;
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.exitCode = process.exitCode();
    run.crashed = process.exitStatus() != QProcess::NormalExit;
    run.standardError = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}

} // namespace

class TrendModuleTest : public QObject {
    Q_OBJECT
private slots:
    void programBindsNoChartsAtStartUp() {
        const QStringList program = neededLibraries(QStringLiteral(KVT_PROGRAM));
        QVERIFY2(program.contains(QStringLiteral("libQt6Widgets.so.6")), qPrintable(program.join(' ')));
        for (const QString& library : program) {
            QVERIFY2(!library.contains(QLatin1String("Charts")) && !library.contains(QLatin1String("OpenGL")) &&
                         !library.startsWith(QLatin1String("libGL")) &&
                         !library.startsWith(QLatin1String("libEGL")),
                     qPrintable(library));
        }
        const QStringList module = neededLibraries(QStringLiteral(KVT_TREND_MODULE));
        QVERIFY2(module.contains(QStringLiteral("libQt6Charts.so.6")), qPrintable(module.join(' ')));
    }

    // The program's screenshot of the trend window goes through the module as a user's first
    // opening does.
    void programOpensTheWindowFromItsModule() {
        QTemporaryDir dir;
        const QString png = dir.filePath(QStringLiteral("trend.png"));
        const Run run = runProgram(QStringLiteral(KVT_PROGRAM),
                                   {QStringLiteral("--screenshot=") + png, QStringLiteral("--screenshot-window=TFormTrend")});
        QVERIFY2(!run.crashed && run.exitCode == 0, qPrintable(run.standardError));
        const QImage image(png);
        QVERIFY(!image.isNull());
        QVERIFY(image.width() > 400 && image.height() > 300); // the trend window, not an error box
    }

    // A program copied without its module says which file it looked for, and ends normally.
    void missingModuleIsNamed() {
        QTemporaryDir dir;
        const QString program = dir.filePath(QStringLiteral("kvt-revizareduva"));
        QVERIFY(QFile::copy(QStringLiteral(KVT_PROGRAM), program));
        const Run run = runProgram(program, {QStringLiteral("--screenshot=") + dir.filePath(QStringLiteral("t.png")),
                                             QStringLiteral("--screenshot-window=TFormTrend")});
        QVERIFY(!run.crashed);
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.standardError.contains(dir.filePath(QLatin1String(kvt::TrendModule::FileName))),
                 qPrintable(run.standardError));
        QVERIFY2(run.standardError.contains(QLatin1String("not installed")), qPrintable(run.standardError));
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("t.png"))));
    }

    // This test exports none of the program's symbols, so the module cannot bind to them: the
    // load fails at once with the loader's reason, not later in a call.
    void moduleThatCannotBindIsRefusedAtLoad() {
        const kvt::TrendModule::Found found = kvt::TrendModule::load(
            {QStringLiteral("/nonexistent/") + QLatin1String(kvt::TrendModule::FileName),
             QStringLiteral(KVT_TREND_MODULE)});
        QVERIFY(!found.create);
        QVERIFY2(found.error.startsWith(QLatin1String("cannot load the trend window's module")),
                 qPrintable(found.error));
        QVERIFY2(found.error.contains(QLatin1String("undefined symbol")), qPrintable(found.error));
    }
};

QTEST_GUILESS_MAIN(TrendModuleTest)
#include "test_trend_module.moc"
