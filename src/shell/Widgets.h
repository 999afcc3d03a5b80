// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace kvt {

// The controls every page makes, each with its object name (which translations, help entries and
// the test rig find it by) and its Polish text.
template <typename T> T* named(T* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}
QLabel* makeLabel(QWidget* parent, const QString& name, const QString& text);
QPushButton* makeButton(QWidget* parent, const QString& name, const QString& text);
QGroupBox* makeGroup(QWidget* parent, const QString& name, const QString& title);
// An entry field; a read-only one is a display and takes no focus.
QLineEdit* makeField(QWidget* parent, const QString& name, const QString& text, bool readOnly = false);

// Writes the caption, title or text of a control, whatever its kind.
void setControlText(QWidget* widget, const QString& text);

} // namespace kvt
