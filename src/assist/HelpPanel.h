// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointF>
#include <QPointer>

class QPlainTextEdit;
class QWidget;

namespace kvt {

struct HelpEntry;
class TranslationStore;

// The help panel of a window: while the mouse pointer moves over a control that has a help entry,
// the panel shows that entry; moving away leaves it as it is. The control under the pointer is the
// nearest widget, from the one under the pointer upwards, that carries an object name of the
// window's design (the nameless parts of a composite control, and Qt's own "qt_" parts, belong to
// the control around them), so a control inside a group shows its own entry, or none.
//
// Moves are seen through an application event filter, which Qt runs for every move over a widget
// even when the widget does not track the mouse. Qt then passes the same move on to each parent
// in turn; only the first widget of that chain, the one under the pointer, counts. The entry is
// applied on every move, but the panel is only rewritten when its text would change, so moving
// the pointer costs nothing.
class HelpPanel : public QObject {
    Q_OBJECT
public:
    HelpPanel(QPlainTextEdit* memo, QWidget* window, const TranslationStore& texts);

    // Replaces the panel's content by `lines` (the first line, then each further line below it).
    void show(const QStringList& lines);
    void showEntry(const HelpEntry& entry);
    // Entries shown on a click instead of a movement: connects them to the controls that exist now
    // within `area` of the window (the whole window when null; a drop-down list shows its entry
    // when the user picks an item). Controls built later are connected by another call for them.
    void connectClickEntries(QWidget* area = nullptr);

    // The window control that a move over `widget` is a move over (see above); null outside the window.
    QWidget* controlAt(QWidget* widget) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The last move handled, to recognise it when Qt passes it on to the parents.
    struct Move {
        QPointer<QWidget> receiver;
        QPointF globalPosition;
        quint64 timestamp = 0;
    };

    QPointer<QPlainTextEdit> memo_;
    QPointer<QWidget> window_;
    const TranslationStore& texts_;
    Move last_;
};

} // namespace kvt
