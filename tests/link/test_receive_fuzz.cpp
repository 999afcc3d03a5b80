// Random input reports of random lengths, alone and in runs, fed to the report handler of a
// fully built main window. Run under the sanitizers it must find nothing.
//
// KVT_FUZZ_REPORTS sets the number of reports (default one million).

#include "RigTest.h"
#include "app/MainWindow.h"
#include "app/Program.h"
#include "link/Transport.h"

#include <random>

using namespace testing;

class ReceiveFuzzTest : public QObject {
    Q_OBJECT

private slots:
    void randomReportsFindNothing() {
        const int total = qEnvironmentVariableIsSet("KVT_FUZZ_REPORTS")
                              ? qEnvironmentVariableIntValue("KVT_FUZZ_REPORTS")
                              : 1000000;
        rig::AppRig rig;
        rig.plugController("KVT318");
        rig.settle();
        kvt::Transport& transport = rig.program().mainWindow->link();
        std::mt19937 random(20261208);
        std::uniform_int_distribution<int> length(0, 64);
        std::uniform_int_distribution<int> byte(0, 255);
        std::uniform_int_distribution<int> run(1, 16);
        int sent = 0;
        while (sent < total) {
            // A run of reports, sometimes repeating one code, as a controller stuck in a loop would.
            const int count = run(random);
            const int fixedCode = byte(random) < 64 ? byte(random) : -1;
            for (int i = 0; i < count && sent < total; ++i, ++sent) {
                QByteArray data(length(random), '\0');
                for (char& c : data)
                    c = char(byte(random));
                if (fixedCode >= 0 && !data.isEmpty())
                    data[0] = char(fixedCode);
                transport.receive(data);
            }
            if (sent % 2000 < count) {
                rig.settle();
                rig.clearDialogs();
                rig.clearWritten();
            }
        }
        rig.settle();
        QVERIFY(rig.program().mainWindow->isVisible());
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
