// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

namespace kvt {

// Design-time description of one file dialog of a window (the dialog itself is opened through
// the dialog service). Being a named object with properties lets the translation store replace
// the filter when the language changes.
class FileDialogInfo : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString Filter MEMBER filter)
    Q_PROPERTY(QString InitialDir MEMBER initialDir)
    Q_PROPERTY(QString FileName MEMBER fileName)
public:
    FileDialogInfo(const QString& name, const QString& filterText, QObject* parent)
        : QObject(parent), filter(filterText) {
        setObjectName(name);
    }

    QString filter;
    QString initialDir;
    QString fileName;
};

} // namespace kvt
