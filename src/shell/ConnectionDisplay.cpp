// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/ConnectionDisplay.h"

#include "assist/Colors.h"
#include "assist/StatusBar.h"
#include "link/Connection.h"
#include "shell/AppContext.h"
#include "shell/AppState.h"

#include <QLineEdit>
#include <QListWidget>

namespace kvt {

ConnectionDisplay::ConnectionDisplay(AppContext& context, Connection& connection, View view, QObject* parent)
    : QObject(parent), context_(context), view_(std::move(view)) {
    connect(&connection, &Connection::devicesListed, this, &ConnectionDisplay::showDevices);
    connect(&connection, &Connection::controllerConnected, this, &ConnectionDisplay::showConnected);
    connect(&connection, &Connection::disconnected, this, [this] {
        showDisconnected();
        context_.state->setConnected(false);
    });
    connect(context_.state, &AppState::identityReported, this, &ConnectionDisplay::showIdentity);
}

void ConnectionDisplay::showIdentity() {
    const AppState& state = *context_.state;
    if (view_.textStatus)
        view_.textStatus->setText(context_.text(QStringLiteral("IDS_25")) + state.modelName() +
                                  QStringLiteral(" ver. ") + state.firmwareVersion() + QStringLiteral(" [") +
                                  state.deviceText() + QStringLiteral("]"));
}

void ConnectionDisplay::showDevices(const QStringList& entries) {
    if (view_.deviceList) {
        view_.deviceList->clear();
        view_.deviceList->addItems(entries);
    }
    // Until a controller answers the roll call, the window shows no connection.
    if (!entries.isEmpty())
        showDisconnected();
}

void ConnectionDisplay::showDisconnected() {
    context_.statusBar->setPanelText(1, context_.text(QStringLiteral("IDS_16")));
    if (view_.textStatus) {
        view_.textStatus->setText(context_.text(QStringLiteral("IDS_17")));
        setBackground(view_.textStatus, colors::Error);
    }
}

void ConnectionDisplay::showConnected(Model model) {
    context_.state->setModel(model);
    const QString text = context_.text(QStringLiteral("IDS_20")) + context_.state->modelName();
    context_.statusBar->setPanelText(1, text);
    if (view_.textStatus) {
        view_.textStatus->setText(text);
        setBackground(view_.textStatus, colors::Connected);
    }
    context_.state->setConnected(true);
    for (const QPointer<QWidget>& page : std::as_const(view_.pagesToEnable)) {
        if (page)
            page->setEnabled(true);
    }
}

} // namespace kvt
