// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "assist/DialogService.h"

namespace kvt {

// The dialog service of the running application: window-modal QMessageBox and QFileDialog,
// opened with open() so no nested event loop runs; the continuation runs when the box closes.
class QtDialogService : public DialogService {
public:
    void message(QWidget* parent, Icon icon, const QString& text, const QString& caption, Buttons buttons,
                 std::function<void(bool ok)> then) override;
    void openFile(QWidget* parent, const FileRequest& request,
                  std::function<void(QString path)> then) override;
    void saveFile(QWidget* parent, const FileRequest& request,
                  std::function<void(QString path)> then) override;
};

// Turns "Description|*.ext|Other|*.x" into the form QFileDialog expects ("Description (*.ext);;…").
QString toQtFileFilter(const QString& filter);

} // namespace kvt
