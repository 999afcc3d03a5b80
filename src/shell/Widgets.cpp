// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/Widgets.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace kvt {

QLabel* makeLabel(QWidget* parent, const char* name, const char* text) {
    return named(new QLabel(QString::fromUtf8(text), parent), name);
}

QPushButton* makeButton(QWidget* parent, const char* name, const char* text) {
    return named(new QPushButton(QString::fromUtf8(text), parent), name);
}

QGroupBox* makeGroup(QWidget* parent, const char* name, const char* title) {
    return named(new QGroupBox(QString::fromUtf8(title), parent), name);
}

QLineEdit* makeField(QWidget* parent, const char* name, const char* text, bool readOnly) {
    auto* f = named(new QLineEdit(QString::fromUtf8(text), parent), name);
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
