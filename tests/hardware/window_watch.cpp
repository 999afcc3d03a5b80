// SPDX-License-Identifier: GPL-3.0-or-later
// Runs the program's windows on the hidraw backend (offscreen) and prints, one line each with the
// wall-clock time in milliseconds, what the window shows about the connection: the devices listed,
// connection and disconnection, the status texts, and every second the number of polls (command
// 97) sent. With --screenshot FILE it saves a picture of the window once the controller's
// identity line is shown. The hardware-path suite reads these lines.
#include "app/MainWindow.h"
#include "app/Program.h"
#include "assist/ScriptedDialogService.h"
#include "assist/StatusBar.h"
#include "link/Connection.h"
#include "link/Transport.h"
#include "link/hidraw/HidrawBackend.h"

#include <QApplication>
#include <QDateTime>
#include <QLineEdit>
#include <QTimer>
#include <cstdio>
#include <utility>

namespace {

void say(const QString& line) {
    std::printf("%lld %s\n", QDateTime::currentMSecsSinceEpoch(), qPrintable(line));
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    int seconds = 10;
    QString screenshot;
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args.at(i) == QLatin1String("--seconds"))
            seconds = args.at(i + 1).toInt();
        else if (args.at(i) == QLatin1String("--screenshot"))
            screenshot = args.at(i + 1);
    }

    kvt::HidrawBackend backend;
    kvt::ScriptedDialogService dialogs;
    kvt::Program program(backend, dialogs);
    kvt::MainWindow* window = program.mainWindow;
    window->show();

    QObject::connect(&window->connection(), &kvt::Connection::devicesListed,
                     [](const QStringList& entries) { say(QStringLiteral("listed ") + entries.join(u',')); });
    QObject::connect(&window->connection(), &kvt::Connection::controllerConnected,
                     [](kvt::Model model) { say(QStringLiteral("connected ") + kvt::productString(model)); });
    QObject::connect(&window->connection(), &kvt::Connection::disconnected,
                     [] { say(QStringLiteral("disconnected")); });
    int polls = 0;
    QObject::connect(&window->link(), &kvt::Transport::commandSent, [&polls](const QByteArray& command) {
        if (quint8(command.at(0)) == 97)
            ++polls;
    });

    auto* status = window->findChild<QLineEdit*>(QStringLiteral("TextStatus"));
    QString lastStatus;
    QString lastPanel;
    QTimer sample;
    sample.setInterval(50);
    QObject::connect(&sample, &QTimer::timeout, [&] {
        const QString text = status ? status->text() : QString();
        if (text != lastStatus) {
            say(QStringLiteral("status ") + (lastStatus = text));
            if (!screenshot.isEmpty() && text.contains(QLatin1String(" ver. "))) {
                const QString file = std::exchange(screenshot, QString());
                QTimer::singleShot(300, window, [window, file] {
                    say(window->grab().save(file, "PNG") ? QStringLiteral("screenshot ") + file
                                                         : QStringLiteral("screenshot failed"));
                });
            }
        }
        const QString panel = window->statusPanels().panelText(1);
        if (panel != lastPanel)
            say(QStringLiteral("panel1 ") + (lastPanel = panel));
    });
    sample.start();
    QTimer pollCount;
    pollCount.setInterval(1000);
    QObject::connect(&pollCount, &QTimer::timeout, [&polls] { say(QStringLiteral("polls %1").arg(polls)); });
    pollCount.start();

    QTimer::singleShot(seconds * 1000, window, [] {
        say(QStringLiteral("end"));
        QCoreApplication::exit(0);
    });
    say(QStringLiteral("started"));
    return QApplication::exec();
}
