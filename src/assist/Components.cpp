// SPDX-License-Identifier: GPL-3.0-or-later
#include "assist/Components.h"

#include <QMenu>
#include <QWidget>

namespace kvt {

QWidget* owningWindow(QObject* object) {
    for (QObject* o = object; o; o = o->parent()) {
        auto* widget = qobject_cast<QWidget*>(o);
        if (widget && !qobject_cast<QMenu*>(widget))
            return widget->window();
    }
    return nullptr;
}

QObject* findComponent(QWidget* window, const QString& name) {
    if (!window || name.isEmpty())
        return nullptr;
    if (window->objectName() == name)
        return window;
    const QList<QObject*> candidates = window->findChildren<QObject*>(name);
    for (QObject* candidate : candidates) {
        if (owningWindow(candidate) == window)
            return candidate;
    }
    return nullptr;
}

} // namespace kvt
