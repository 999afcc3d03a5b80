// SPDX-License-Identifier: GPL-3.0-or-later
// Random input reports of random lengths, alone and in runs, fed to the report handler of a
// fully built main window. Run under the sanitizers it must find nothing.
//
// KVT_FUZZ_REPORTS sets the number of reports (default one million).

#include "RigTest.h"
#include "app/MainWindow.h"
#include "app/Program.h"
#include "link/Transport.h"
#include "shell/AppState.h"

#include <QTimer>
#include <random>

using namespace testing;

class ReceiveFuzzTest : public QObject {
    Q_OBJECT

private slots:
    // Random reports from the controller travel the whole way a real one does: the simulated
    // device's input queue, the reader thread, the device layer and the dispatcher to every
    // page's handlers. Afterwards the window still shows the same connection and polls.
    void randomReportsFindNothing() {
        const int total = qEnvironmentVariableIsSet("KVT_FUZZ_REPORTS")
                              ? qEnvironmentVariableIntValue("KVT_FUZZ_REPORTS")
                              : 1000000;
        rig::AppRig rig;
        const int id = rig.plugController("KVT318");
        rig.settle();
        QObject counter;
        int dispatched = 0;
        for (int code = 0; code < 256; ++code)
            rig.program().mainWindow->link().subscribe(quint8(code), &counter,
                                                       [&](const kvt::Response&) { ++dispatched; });
        std::mt19937 random(20261208);
        std::uniform_int_distribution<int> length(0, 64);
        std::uniform_int_distribution<int> byte(0, 255);
        std::uniform_int_distribution<int> run(1, 16);
        int sent = 0;
        int batch = 0;
        while (sent < total) {
            // A run of reports, sometimes repeating one code, as a controller stuck in a loop would.
            const int count = run(random);
            const int fixedCode = byte(random) < 64 ? byte(random) : -1;
            for (int i = 0; i < count && sent < total; ++i, ++sent, ++batch) {
                QByteArray data(length(random), '\0');
                for (char& c : data)
                    c = char(byte(random));
                if (fixedCode >= 0 && !data.isEmpty())
                    data[0] = char(fixedCode);
                rig.inject(data, id);
            }
            // Fewer than a device's input queue holds, so no report is lost before the reader.
            if (batch >= 500) {
                batch = 0;
                rig.settle();
                rig.clearDialogs();
                rig.clearWritten();
            }
        }
        rig.settle();
        QVERIFY2(dispatched >= sent, qPrintable(QStringLiteral("%1 of %2").arg(dispatched).arg(sent)));
        rig.clearWritten();
        // The connection's text, or the one a (random) identity response completed.
        const QString status = rig.text("TextStatus");
        QVERIFY2(status == QStringLiteral("Połączony z KVT318") ||
                     status.startsWith(QStringLiteral("Połączono z KVT318 ver. ")),
                 qPrintable(status));
        QCOMPARE(rig.items("ListBox1"), QStringList{QStringLiteral("KVT318")});
        QVERIFY(rig.program().mainWindow->state().connected());
        QVERIFY(rig.program().mainWindow->pollTimer()->isActive());
        rig.settle(450);
        QVERIFY(codes(rig.written()).contains(97));
        qInfo("%d random reports handled", sent);
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Polish, QLocale::Poland));
    ReceiveFuzzTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_receive_fuzz.moc"
