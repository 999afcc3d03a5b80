// SPDX-License-Identifier: GPL-3.0-or-later
#include "RigControls.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTextDocument>
#include <QTextEdit>

namespace rig {

bool tabPage(QWidget* widget, QTabWidget** tabs, int* index) {
    auto* stack = widget ? qobject_cast<QStackedWidget*>(widget->parentWidget()) : nullptr;
    auto* tabWidget = stack ? qobject_cast<QTabWidget*>(stack->parentWidget()) : nullptr;
    if (!tabWidget || tabWidget->indexOf(widget) < 0)
        return false;
    if (tabs)
        *tabs = tabWidget;
    if (index)
        *index = tabWidget->indexOf(widget);
    return true;
}

QString withoutShortcutMarks(const QString& caption) {
    QString result;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&') && i + 1 < caption.size()) {
            result += caption[++i];
            continue;
        }
        if (caption[i] != QLatin1Char('&'))
            result += caption[i];
    }
    return result;
}

namespace {
// A memo's text as stored: lines joined by "\n", every other character (no-break spaces too)
// left as it is.
QString rawLines(const QTextDocument* document) {
    QString raw = document->toRawText();
    raw.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    raw.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return raw;
}
} // namespace

QString userText(QObject* object, bool* ok) {
    *ok = true;
    auto* widget = qobject_cast<QWidget*>(object);
    QTabWidget* tabs = nullptr;
    int index = -1;
    if (tabPage(widget, &tabs, &index))
        return withoutShortcutMarks(tabs->tabText(index));
    if (widget && widget->isWindow())
        return widget->windowTitle();
    if (auto* label = qobject_cast<QLabel*>(object))
        return withoutShortcutMarks(label->text());
    if (auto* edit = qobject_cast<QLineEdit*>(object))
        return edit->text();
    if (auto* button = qobject_cast<QAbstractButton*>(object))
        return withoutShortcutMarks(button->text());
    if (auto* group = qobject_cast<QGroupBox*>(object))
        return withoutShortcutMarks(group->title());
    if (auto* memo = qobject_cast<QPlainTextEdit*>(object))
        return rawLines(memo->document());
    if (auto* memo = qobject_cast<QTextEdit*>(object))
        return rawLines(memo->document());
    if (auto* combo = qobject_cast<QComboBox*>(object))
        return combo->currentText();
    if (auto* action = qobject_cast<QAction*>(object))
        return withoutShortcutMarks(action->text());
    *ok = false;
    return {};
}

namespace {
bool blockedByModal(QWidget* window) {
    const QList<QWidget*> windows = QApplication::topLevelWidgets();
    for (QWidget* modal : windows) {
        if (modal == window || !modal->isVisible() || modal->windowModality() == Qt::NonModal)
            continue;
        // A modal window blocks every window but itself and the windows it owns.
        bool owned = false;
        for (QWidget* w = window; w; w = w->parentWidget() ? w->parentWidget()->window() : nullptr) {
            if (w == modal) {
                owned = true;
                break;
            }
        }
        if (owned)
            continue;
        if (modal->windowModality() == Qt::ApplicationModal)
            return true;
        // Window-modal: blocks the windows it is shown over.
        for (QWidget* parent = modal->parentWidget() ? modal->parentWidget()->window() : nullptr; parent;
             parent = parent->parentWidget() ? parent->parentWidget()->window() : nullptr) {
            if (parent == window)
                return true;
        }
    }
    return false;
}
} // namespace

bool reachable(QWidget* widget) {
    if (!widget || !widget->isEnabled())
        return false;
    for (QWidget* w = widget; w; w = w->isWindow() ? nullptr : w->parentWidget()) {
        // Pages of a tab widget are hidden while another page is active; the rig reaches them.
        if (w->isHidden() && !tabPage(w, nullptr, nullptr))
            return false;
    }
    return !blockedByModal(widget->window());
}

} // namespace rig
