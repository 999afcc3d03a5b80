// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>

class QObject;
class QTabWidget;
class QWidget;

namespace rig {

// The tab widget and index when `widget` is one of its pages.
bool tabPage(QWidget* widget, QTabWidget** tabs, int* index);

// What a user reads on the control; `ok` is false for a kind of object that shows no text.
QString userText(QObject* object, bool* ok);

// A caption without its shortcut marks ("&&" stays as one "&").
QString withoutShortcutMarks(const QString& caption);

// True when the user can act on `widget`: it and its parents are not hidden (pages of a tab
// widget count as shown) and not disabled, and no modal window blocks its window.
bool reachable(QWidget* widget);

} // namespace rig
