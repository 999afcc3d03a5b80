// SPDX-License-Identifier: GPL-3.0-or-later
#include "assist/HelpPanel.h"

#include "assist/HelpEntries.h"
#include "assist/TranslationStore.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QMouseEvent>
#include <QPlainTextEdit>

namespace kvt {

HelpPanel::HelpPanel(QPlainTextEdit* memo, QWidget* window, const TranslationStore& texts)
    : QObject(window), memo_(memo), window_(window), texts_(texts) {
    QCoreApplication::instance()->installEventFilter(this);
}

void HelpPanel::show(const QStringList& lines) {
    const QString text = lines.join(QLatin1Char('\n'));
    if (memo_ && memo_->toPlainText() != text)
        memo_->setPlainText(text);
}

void HelpPanel::showEntry(const HelpEntry& entry) {
    show(helpLines(entry, texts_));
}

void HelpPanel::connectClickEntries(QWidget* area) {
    if (!window_)
        return;
    if (!area)
        area = window_;
    for (const HelpEntry& entry : helpEntries()) {
        if (entry.trigger != HelpEntry::Trigger::Click)
            continue;
        if (auto* list = area->findChild<QComboBox*>(entry.control))
            connect(list, &QComboBox::activated, this, [this, &entry] { showEntry(entry); });
    }
}

QWidget* HelpPanel::controlAt(QWidget* widget) const {
    if (!widget || !window_ || widget->window() != window_)
        return nullptr; // another window, or a popup of this one
    for (QWidget* w = widget; w != window_; w = w->parentWidget()) {
        const QString name = w->objectName();
        if (!name.isEmpty() && !name.startsWith(QLatin1String("qt_")))
            return w;
    }
    return nullptr;
}

bool HelpPanel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::MouseMove || !watched->isWidgetType() || !window_)
        return false;
    auto* widget = static_cast<QWidget*>(watched);
    const auto* move = static_cast<QMouseEvent*>(event);
    if (last_.receiver && widget != last_.receiver && widget->isAncestorOf(last_.receiver) &&
        move->globalPosition() == last_.globalPosition && move->timestamp() == last_.timestamp)
        return false; // the move just handled, passed on to a parent
    last_ = {widget, move->globalPosition(), move->timestamp()};
    if (QWidget* control = controlAt(widget)) {
        const HelpEntry* entry = helpEntry(control->objectName());
        if (entry && entry->trigger == HelpEntry::Trigger::Movement)
            showEntry(*entry);
    }
    return false;
}

} // namespace kvt
