// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/ConfigFileActions.h"

#include "assist/DialogService.h"
#include "assist/FileDialogInfo.h"
#include "config/ConfigPage.h"
#include "config/core/ConfigFile.h"
#include "shell/AppContext.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTabWidget>

namespace kvt {

namespace {

// The configuration file's messages are the same in both languages.
const QString FileCaption = QStringLiteral("Ustawienia sterownika");
const QString LoadQuestion =
    QStringLiteral("Aktualne ustawienia w programie zostaną napisanem ustawieniami z pliku, kontynuowac? ");
const QString LoadedMessage =
    QStringLiteral("Ustawienia wczytane.\n\n By przesłac je do sterownika należy klikną w:\n"
                   " -zakładka Konfiguracja->Zapisz\n -zakładka RS485->Zapisz");

DialogService::FileRequest requestOf(const FileDialogInfo& dialog) {
    DialogService::FileRequest request;
    request.filter = dialog.filter;
    request.directory = dialog.initialDir;
    request.fileName = dialog.fileName;
    return request;
}

} // namespace

ConfigFileActions::ConfigFileActions(AppContext& context, ConfigPage& page, QTabWidget& pages,
                                     const FileDialogInfo& openDialog, const FileDialogInfo& saveDialog,
                                     QObject* parent)
    : QObject(parent), context_(context), page_(page), pages_(pages), openDialog_(openDialog),
      saveDialog_(saveDialog) {}

void ConfigFileActions::saveSettingsToFile() {
    QPointer<ConfigFileActions> self(this);
    context_.dialogs->saveFile(context_.mainWindow, requestOf(saveDialog_), [self](const QString& chosen) {
        if (!self || chosen.isEmpty())
            return;
        const QString path = config::configSavePath(chosen);
        if (const std::optional<QString> error = config::saveConfigFile(path, self->page_.settings()))
            self->context_.dialogs->message(self->context_.mainWindow, DialogService::Icon::Error, *error,
                                            QCoreApplication::applicationName());
    });
}

void ConfigFileActions::loadSettingsFromFile() {
    QPointer<ConfigFileActions> self(this);
    context_.dialogs->openFile(context_.mainWindow, requestOf(openDialog_), [self](const QString& path) {
        if (!self || path.isEmpty())
            return;
        // A file that is missing or unreadable changes nothing.
        const std::optional<QByteArray> bytes = config::readConfigFile(path);
        if (!bytes) {
            self->context_.dialogs->message(self->context_.mainWindow, DialogService::Icon::Error,
                                            config::readErrorText(path), QCoreApplication::applicationName());
            return;
        }
        self->context_.dialogs->message(self->context_.mainWindow, DialogService::Icon::Warning, LoadQuestion,
                                        FileCaption, DialogService::Buttons::OkCancel,
                                        [self, content = *bytes](bool ok) {
                                            if (ok && self)
                                                self->load(content);
                                        });
    });
}

void ConfigFileActions::load(const QByteArray& content) {
    page_.loadFile(content);
    pages_.setCurrentWidget(&page_);
    context_.dialogs->message(context_.mainWindow, DialogService::Icon::Information, LoadedMessage, FileCaption);
}

} // namespace kvt
