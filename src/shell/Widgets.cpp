// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/Widgets.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace kvt {

namespace {

template <typename T> T* withName(T* widget, const QString& name) {
    widget->setObjectName(name);
    return widget;
}

} // namespace

QLabel* makeLabel(QWidget* parent, const QString& name, const QString& text) {
    return withName(new QLabel(text, parent), name);
}

QPushButton* makeButton(QWidget* parent, const QString& name, const QString& text) {
    return withName(new QPushButton(text, parent), name);
}

QGroupBox* makeGroup(QWidget* parent, const QString& name, const QString& title) {
    return withName(new QGroupBox(title, parent), name);
}

QLineEdit* makeField(QWidget* parent, const QString& name, const QString& text, bool readOnly) {
    auto* f = withName(new QLineEdit(text, parent), name);
    f->setReadOnly(readOnly);
    if (readOnly)
        f->setFocusPolicy(Qt::NoFocus);
    return f;
}

void setControlText(QWidget* widget, const QString& text) {
    if (auto* l = qobject_cast<QLabel*>(widget))
        l->setText(text);
    else if (auto* g = qobject_cast<QGroupBox*>(widget))
        g->setTitle(text);
    else if (auto* b = qobject_cast<QAbstractButton*>(widget))
        b->setText(text);
    else if (auto* e = qobject_cast<QLineEdit*>(widget))
        e->setText(text);
}

} // namespace kvt
