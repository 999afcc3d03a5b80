// SPDX-License-Identifier: GPL-3.0-or-later
#include "assist/QtDialogService.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QStringList>

namespace kvt {

QString toQtFileFilter(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        filters << QStringLiteral("%1 (%2)").arg(parts[i], patterns);
    }
    return filters.join(QStringLiteral(";;"));
}

void QtDialogService::message(QWidget* parent, Icon icon, const QString& text, const QString& caption,
                              Buttons buttons, std::function<void(bool ok)> then) {
    QMessageBox::Icon boxIcon = QMessageBox::Information;
    switch (icon) {
    case Icon::Information:
        boxIcon = QMessageBox::Information;
        break;
    case Icon::Warning:
        boxIcon = QMessageBox::Warning;
        break;
    case Icon::Question:
        boxIcon = QMessageBox::Question;
        break;
    case Icon::Error:
        boxIcon = QMessageBox::Critical;
        break;
    }
    const auto standard =
        buttons == Buttons::OkCancel ? QMessageBox::Ok | QMessageBox::Cancel : QMessageBox::Ok;
    auto* box = new QMessageBox(boxIcon, caption, text, standard, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(parent ? Qt::WindowModal : Qt::ApplicationModal);
    QObject::connect(box, &QMessageBox::finished, box, [box, then = std::move(then)](int) {
        const bool ok = box->clickedButton() == box->button(QMessageBox::Ok);
        if (then)
            then(ok);
    });
    box->open();
}

namespace {
void showFileDialog(QWidget* parent, const DialogService::FileRequest& request, QFileDialog::AcceptMode mode,
                    std::function<void(QString)> then) {
    auto* dialog =
        new QFileDialog(parent, request.caption, request.directory, toQtFileFilter(request.filter));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setAcceptMode(mode);
    dialog->setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    if (!request.fileName.isEmpty())
        dialog->selectFile(request.fileName);
    dialog->setWindowModality(parent ? Qt::WindowModal : Qt::ApplicationModal);
    QObject::connect(dialog, &QFileDialog::finished, dialog, [dialog, then = std::move(then)](int result) {
        const QStringList files = dialog->selectedFiles();
        const QString path = result == QDialog::Accepted && !files.isEmpty() ? files.first() : QString();
        if (then)
            then(path);
    });
    dialog->open();
}
} // namespace

void QtDialogService::openFile(QWidget* parent, const FileRequest& request,
                               std::function<void(QString path)> then) {
    showFileDialog(parent, request, QFileDialog::AcceptOpen, std::move(then));
}

void QtDialogService::saveFile(QWidget* parent, const FileRequest& request,
                               std::function<void(QString path)> then) {
    showFileDialog(parent, request, QFileDialog::AcceptSave, std::move(then));
}

} // namespace kvt
