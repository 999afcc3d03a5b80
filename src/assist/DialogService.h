// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace kvt {

// Every message box and file dialog of the application goes through this interface, so that
// tests can script the answers and check what was shown. No box runs a nested event loop: the
// rest of the operation is passed as a continuation that runs once the box has closed.
class DialogService {
public:
    enum class Icon { Information, Warning, Question, Error };
    enum class Buttons { Ok, OkCancel };

    virtual ~DialogService() = default;

    // Shows a message box. `then` receives true for OK, false for Cancel or a closed box.
    virtual void message(QWidget* parent, Icon icon, const QString& text, const QString& caption,
                         Buttons buttons = Buttons::Ok, std::function<void(bool ok)> then = {}) = 0;

    // File dialogs. `filter` is written as "Description|*.ext" (several pairs may follow,
    // separated by "|"). `then` receives the chosen path, or an empty text when cancelled.
    struct FileRequest {
        QString caption;
        QString directory;
        QString fileName;
        QString filter;
    };
    virtual void openFile(QWidget* parent, const FileRequest& request,
                          std::function<void(QString path)> then) = 0;
    virtual void saveFile(QWidget* parent, const FileRequest& request,
                          std::function<void(QString path)> then) = 0;
};

// Shows the two-character sequence backslash-n of a stored text as a line break.
QString withLineBreaks(const QString& storedText);

} // namespace kvt
