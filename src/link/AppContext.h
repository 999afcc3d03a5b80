#pragma once

#include "link/MainState.h"

class QWidget;

namespace kvt {

class DialogService;
class StatusBar;
class TranslationStore;
class Transport;

// What every page needs of the main window: the shared state, the link, the dialogs, the main
// window's texts and its status bar. Owned by the main window for the whole run.
struct AppContext {
    MainState state;
    DialogService* dialogs = nullptr;
    TranslationStore* texts = nullptr; // the main window's store
    StatusBar* statusBar = nullptr;
    Transport* transport = nullptr;
    QWidget* mainWindow = nullptr;

    QString text(const QString& key) const;
};

} // namespace kvt
