// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

class QWidget;

namespace kvt {

// The window an object belongs to: its nearest widget's window, looking through menus (which
// are windows of their own) to the window that owns them.
QWidget* owningWindow(QObject* object);

// The component of `window` named `name` (the window itself included). Only the window's own
// components count: a secondary window that is a child of this one may use the same names.
QObject* findComponent(QWidget* window, const QString& name);

} // namespace kvt
