// SPDX-License-Identifier: GPL-3.0-or-later
// Command-line options of the program.

#include "app/Main.h"
#include "app/Options.h"

#include <QTest>
#include <vector>

class OptionsTest : public QObject {
    Q_OBJECT

    static kvt::Options parse(std::vector<const char*> args) {
        args.insert(args.begin(), "kvt-revizareduva");
        return kvt::parseOptions(int(args.size()), const_cast<char**>(args.data()));
    }

private slots:
    void readsEveryOption() {
        const kvt::Options o =
            parse({"--simulate=PXA-KVT", "--screenshot", "/tmp/a.png", "--screenshot-page=3"});
        QVERIFY(o.error.isEmpty());
        QCOMPARE(o.simulate, QStringLiteral("PXA-KVT"));
        QCOMPARE(o.screenshot, QStringLiteral("/tmp/a.png"));
        QCOMPARE(o.screenshotPage, 3);
        QCOMPARE(parse({"--simulate"}).simulate, QStringLiteral("KVT318"));
        QVERIFY(parse({"--help"}).help);
        QVERIFY(parse({}).simulate.isEmpty());
        const kvt::Options w =
            parse({"--screenshot=/tmp/b.png", "--screenshot-window", "TForm3", "--screenshot-language=en"});
        QVERIFY(w.error.isEmpty());
        QCOMPARE(w.screenshotWindow, QStringLiteral("TForm3"));
        QCOMPARE(w.screenshotLanguage, 2);
        QCOMPARE(parse({}).screenshotLanguage, 1);
        QCOMPARE(parse({"--screenshot=/tmp/c.png", "--screenshot-window=TFormTrend"}).screenshotWindow,
                 QStringLiteral("TFormTrend"));
    }

    // The simulated controller's memory file belongs to the simulation only.
    void simulationStateFile() {
        QCOMPARE(parse({"--simulate", "--sim-state", "/tmp/s.json"}).simState, QStringLiteral("/tmp/s.json"));
        QVERIFY(parse({"--simulate", "--sim-state", "/tmp/s.json"}).error.isEmpty());
        QVERIFY(!parse({"--sim-state", "/tmp/s.json"}).error.isEmpty());
        QVERIFY(!parse({"--simulate", "--sim-state"}).error.isEmpty());
    }

    void rejectsWhatItCannotUse() {
        QVERIFY(!parse({"--simulate=KVT999"}).error.isEmpty());
        QVERIFY(!parse({"--screenshot"}).error.isEmpty());
        QVERIFY(!parse({"--screenshot-page", "9"}).error.isEmpty());
        QVERIFY(!parse({"--frobnicate"}).error.isEmpty());
        QVERIFY(!parse({"--screenshot-window", "TForm1"}).error.isEmpty());
        QVERIFY(!parse({"--screenshot-language", "de"}).error.isEmpty());
    }

    void aMissingFileNameIsNotTakenFromTheNextOption() {
        const kvt::Options o = parse({"--screenshot", "--simulate"});
        QVERIFY(!o.error.isEmpty());
        QVERIFY(!parse({"--screenshot=-x.png"}).error.isEmpty());
        QVERIFY(parse({"--simulate", "--screenshot", "a.png"}).error.isEmpty());
        QVERIFY(!parse({"stray"}).error.isEmpty());
    }

    void displayIsJudgedByThePlatformPlugin() {
        const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
        const QByteArray display = qgetenv("DISPLAY");
        const QByteArray wayland = qgetenv("WAYLAND_DISPLAY");
        qunsetenv("DISPLAY");
        qunsetenv("WAYLAND_DISPLAY");
        qputenv("QT_QPA_PLATFORM", "xcb");
        QVERIFY(!kvt::hasDisplay()); // would abort inside Qt instead of saying so
        qputenv("QT_QPA_PLATFORM", "wayland");
        QVERIFY(!kvt::hasDisplay());
        qputenv("QT_QPA_PLATFORM", "offscreen");
        QVERIFY(kvt::hasDisplay());
        qunsetenv("QT_QPA_PLATFORM");
        QVERIFY(!kvt::hasDisplay());
        qputenv("DISPLAY", ":0");
        QVERIFY(kvt::hasDisplay());
        qputenv("QT_QPA_PLATFORM", platform);
        qputenv("DISPLAY", display);
        qputenv("WAYLAND_DISPLAY", wayland);
    }

    void helpListsEveryOption() {
        const QString help = kvt::optionsHelp();
        for (const char* option : {"--simulate", "--screenshot ", "--screenshot-page", "--screenshot-window",
                                   "--screenshot-language", "--help", "--version"})
            QVERIFY2(help.contains(QLatin1String(option)), option);
    }
};

QTEST_GUILESS_MAIN(OptionsTest)
#include "test_options.moc"
