// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class QTabWidget;

namespace kvt {

struct AppContext;
class ConfigPage;
class FileDialogInfo;

// The configuration file, from the main menu: saves what the Configuration page shows (with the
// Modbus link) to a file the user picks, and loads such a file into the page after asking.
class ConfigFileActions : public QObject {
    Q_OBJECT
public:
    // Files are picked as `openDialog` and `saveDialog` describe; a loaded file brings `page` to
    // the front of `pages`.
    ConfigFileActions(AppContext& context, ConfigPage& page, QTabWidget& pages, const FileDialogInfo& openDialog,
                      const FileDialogInfo& saveDialog, QObject* parent = nullptr);

    void saveSettingsToFile();
    void loadSettingsFromFile();

private:
    void load(const QByteArray& content);

    AppContext& context_;
    ConfigPage& page_;
    QTabWidget& pages_;
    const FileDialogInfo& openDialog_;
    const FileDialogInfo& saveDialog_;
};

} // namespace kvt
