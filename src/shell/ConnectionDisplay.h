// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

class QLineEdit;
class QListWidget;
class QWidget;

namespace kvt {

struct AppContext;
class Connection;
enum class Model;

// Shows the connection: the device list, the status line (with the identity once the controller
// has sent it) and its colour, status panel 1, the pages enabled once connected; and keeps the
// shared state's connection flag and model.
class ConnectionDisplay : public QObject {
    Q_OBJECT
public:
    struct View {
        QPointer<QLineEdit> textStatus;
        QPointer<QListWidget> deviceList;
        QList<QPointer<QWidget>> pagesToEnable; // Control, Configuration, RS485, Program
    };

    ConnectionDisplay(AppContext& context, Connection& connection, View view, QObject* parent = nullptr);

private:
    void showDevices(const QStringList& entries);
    void showConnected(Model model);
    void showDisconnected();
    // The identity response: model, firmware and device text in the status line.
    void showIdentity();

    AppContext& context_;
    View view_;
};

} // namespace kvt
