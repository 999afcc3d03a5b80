// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QWidget;

namespace kvt {

class AppState;
class DialogService;
class StatusBar;
class TranslationStore;
class Transport;

// What every page needs of the main window: the shared state, the link to the controller, the
// dialogs, the main window's texts and its status bar. Owned by the main window for the whole run.
struct AppContext {
    AppState* state = nullptr;
    Transport* link = nullptr;
    DialogService* dialogs = nullptr;
    TranslationStore* texts = nullptr; // the main window's store
    StatusBar* statusBar = nullptr;
    QWidget* mainWindow = nullptr;

    // The main window's text of `key` in the active language.
    QString text(const QString& key) const;
};

} // namespace kvt
