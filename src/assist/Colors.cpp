// SPDX-License-Identifier: GPL-3.0-or-later
#include "assist/Colors.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QWidget>

namespace kvt {

bool usesBaseRole(const QWidget* widget) {
    return qobject_cast<const QLineEdit*>(widget) || qobject_cast<const QPlainTextEdit*>(widget) ||
           qobject_cast<const QTextEdit*>(widget) || qobject_cast<const QAbstractItemView*>(widget) ||
           qobject_cast<const QAbstractSpinBox*>(widget);
}

namespace {
QPalette::ColorRole backgroundRole(const QWidget* widget) {
    return usesBaseRole(widget) ? QPalette::Base : QPalette::Window;
}
QPalette::ColorRole foregroundRole(const QWidget* widget) {
    return usesBaseRole(widget) ? QPalette::Text : QPalette::WindowText;
}

void setRole(QWidget* widget, QPalette::ColorRole role, const QColor& color) {
    const QPalette& current = widget->palette();
    QPalette palette = current;
    // Same colour whether the window is active, inactive or the control disabled, as a
    // technician expects a status field to look.
    palette.setColor(QPalette::Active, role, color);
    palette.setColor(QPalette::Inactive, role, color);
    palette.setColor(QPalette::Disabled, role, color);
    // Status fields are coloured on every report, mostly as they already are; setting an equal
    // palette changes nothing but costs a resolution against the inherited palette.
    const bool unchanged = widget->testAttribute(Qt::WA_SetPalette) &&
                           palette.resolveMask() == current.resolveMask() && palette == current;
    if (!unchanged)
        widget->setPalette(palette);
    if (role == QPalette::Window && !usesBaseRole(widget))
        widget->setAutoFillBackground(true);
}

void resetRole(QWidget* widget, QPalette::ColorRole role) {
    QPalette palette = widget->palette();
    const QPalette inherited = QApplication::palette(widget);
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        palette.setColor(group, role, inherited.color(group, role));
    widget->setPalette(palette);
}
} // namespace

void setBackground(QWidget* widget, const QColor& color) {
    if (widget)
        setRole(widget, backgroundRole(widget), color);
}

void setTextColor(QWidget* widget, const QColor& color) {
    if (widget)
        setRole(widget, foregroundRole(widget), color);
}

void resetBackground(QWidget* widget) {
    if (widget)
        resetRole(widget, backgroundRole(widget));
}

void resetTextColor(QWidget* widget) {
    if (widget)
        resetRole(widget, foregroundRole(widget));
}

QColor background(const QWidget* widget) {
    return widget ? widget->palette().color(backgroundRole(widget)) : QColor();
}

QColor textColor(const QWidget* widget) {
    return widget ? widget->palette().color(foregroundRole(widget)) : QColor();
}

} // namespace kvt
