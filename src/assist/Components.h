// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <utility>

class QWidget;

namespace kvt {

// The window an object belongs to: its nearest widget's window, looking through menus (which
// are windows of their own) to the window that owns them.
QWidget* owningWindow(QObject* object);

// The component of `window` named `name` (the window itself included). Only the window's own
// components count: a secondary window that is a child of this one may use the same names.
QObject* findComponent(QWidget* window, const QString& name);

// Components found once and kept: a page looks the same controls of other pages up on every
// record the controller sends, and searching the window's few hundred objects each time costs
// more than the record. `search` runs only while nothing alive is kept under the name (and the
// type the search looks for, where searches for one name differ in type).
class ComponentCache {
public:
    template <typename Search>
    QObject* find(const QString& name, Search search, const QMetaObject* type = nullptr) {
        QPointer<QObject>& kept = found_[std::pair(name, type)];
        if (!kept)
            kept = search();
        return kept;
    }

private:
    QHash<std::pair<QString, const QMetaObject*>, QPointer<QObject>> found_;
};

} // namespace kvt
