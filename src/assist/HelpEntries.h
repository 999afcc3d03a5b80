// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace kvt {

class TranslationStore;

// The explanations the help panel shows for controls of the main window. A line is a keyed text
// of the main window's store, looked up in the current language when shown, or a fixed Polish
// text shown unchanged in both languages.
struct HelpLine {
    QString key;  // "IDS_<n>"; empty for a fixed text
    QString text; // the fixed text
};

struct HelpEntry {
    enum class Trigger { Movement, Click };
    QString control; // object name of the control
    Trigger trigger = Trigger::Movement;
    QList<HelpLine> lines;
};

// Every entry, once per control.
const QList<HelpEntry>& helpEntries();
// The entry of the control named `control`, or null.
const HelpEntry* helpEntry(const QString& control);

// The lines of `entry` as shown: keyed lines in the store's active language.
QStringList helpLines(const HelpEntry& entry, const TranslationStore& texts);
// The panel's text for `entry`: the first line, each further line below it.
QString helpText(const HelpEntry& entry, const TranslationStore& texts);

} // namespace kvt
