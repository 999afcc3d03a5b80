// SPDX-License-Identifier: GPL-3.0-or-later
#include "assist/TranslationStore.h"

#include "assist/Components.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTextEdit>

namespace kvt {

namespace {

using Section = TranslationStore::Section;
using Entry = TranslationStore::Entry;

const QString& textIn(const Entry& entry, int language) {
    return language == TranslationStore::English ? entry.english : entry.polish;
}

// The text an entry left on its control while `language` was active: a language without its own
// text never replaced the Polish one.
const QString& shownText(const Entry& entry, int language) {
    const QString& text = textIn(entry, language);
    return text.isEmpty() ? entry.polish : text;
}

// "Component.Property" and "Component.Items[i].Caption" keys name the component before the first
// point; caption, hint and font keys are the component name itself.
QString componentName(const QString& key) {
    return key.section(QLatin1Char('.'), 0, 0);
}

QString propertyName(const QString& key) {
    return key.section(QLatin1Char('.'), 1);
}

// A tab page sits in the tab widget's internal stack, so its grandparent is the tab widget.
void setTabCaption(QWidget* page, const QString& text) {
    QWidget* stack = page->parentWidget();
    auto* tabs = stack ? qobject_cast<QTabWidget*>(stack->parentWidget()) : nullptr;
    if (!tabs)
        return;
    const int index = tabs->indexOf(page);
    if (index >= 0)
        tabs->setTabText(index, text);
}

void applyCaption(QWidget* window, QObject* target, const QString& text) {
    if (target == window)
        window->setWindowTitle(text);
    else if (auto* label = qobject_cast<QLabel*>(target))
        label->setText(text);
    else if (auto* button = qobject_cast<QAbstractButton*>(target))
        button->setText(text);
    else if (auto* group = qobject_cast<QGroupBox*>(target))
        group->setTitle(text);
    else if (auto* action = qobject_cast<QAction*>(target))
        action->setText(text);
    else if (auto* page = qobject_cast<QWidget*>(target))
        setTabCaption(page, text);
}

void applyHint(QObject* target, const QString& text) {
    if (auto* widget = qobject_cast<QWidget*>(target))
        widget->setToolTip(text);
    else if (auto* action = qobject_cast<QAction*>(target))
        action->setToolTip(text);
}

// Memos and edit fields are also written by the program (connection text, help texts); their
// design-time text is replaced only while they still show it, so a language switch never wipes
// what an operation put there.
void applyLines(QObject* target, const Entry& entry, int language, int previousLanguage) {
    const QString& text = textIn(entry, language);
    const QString& previous = shownText(entry, previousLanguage);
    if (auto* plain = qobject_cast<QPlainTextEdit*>(target)) {
        if (plain->toPlainText() == previous)
            plain->setPlainText(text);
    } else if (auto* rich = qobject_cast<QTextEdit*>(target)) {
        if (rich->toPlainText() == previous)
            rich->setPlainText(text);
    }
}

void applyString(QObject* target, const Entry& entry, int language, int previousLanguage) {
    const QString& text = textIn(entry, language);
    const QString property = propertyName(entry.key);
    auto* edit = qobject_cast<QLineEdit*>(target);
    if (edit && property == QLatin1String("Text")) {
        if (edit->text() == shownText(entry, previousLanguage))
            edit->setText(text);
        return;
    }
    // Only declared properties are written: a misspelt name must not create a dynamic property.
    const QByteArray name = property.toUtf8();
    if (!name.isEmpty() && target->metaObject()->indexOfProperty(name.constData()) >= 0)
        target->setProperty(name.constData(), text);
}

void applyFont(QObject* target, const QString& family) {
    auto* widget = qobject_cast<QWidget*>(target);
    if (!widget)
        return;
    QFont font = widget->font();
    font.setFamily(family);
    widget->setFont(font);
}

void applyCollectionItem(QObject* target, const QString& key, const QString& text) {
    static const QRegularExpression ItemKey(QStringLiteral("^[^.]+\\.Items\\[(\\d+)\\]\\.Caption$"));
    const QRegularExpressionMatch match = ItemKey.match(key);
    auto* combo = qobject_cast<QComboBox*>(target);
    if (!match.hasMatch() || !combo)
        return;
    bool ok = false;
    const int index = match.captured(1).toInt(&ok);
    if (ok && index < combo->count())
        combo->setItemText(index, text);
}

} // namespace

TranslationStore::TranslationStore(QWidget* window, const QString& storeName)
    : window_(window), name_(storeName) {
    QFile file(QStringLiteral(":/texts/%1.tsv").arg(storeName));
    if (file.open(QIODevice::ReadOnly))
        entries_ = parseTextStore(QString::fromUtf8(file.readAll()));
}

QString TranslationStore::text(const QString& key) const {
    for (const Entry& entry : entries_) {
        if (entry.section != Section::Keyed || entry.key != key)
            continue;
        const QString& chosen = textIn(entry, language_);
        return chosen.isEmpty() ? entry.polish : chosen;
    }
    return {};
}

bool TranslationStore::setLanguage(int language) {
    if (language == language_)
        return true;
    if (language != Polish && language != English)
        return false;
    const int previous = language_;
    language_ = language;
    for (const Entry& entry : std::as_const(entries_)) {
        if (entry.section != Section::Keyed)
            apply(entry, previous);
    }
    return true;
}

void TranslationStore::applyFonts() {
    for (const Entry& entry : std::as_const(entries_)) {
        if (entry.section == Section::Fonts)
            apply(entry, language_);
    }
}

void TranslationStore::apply(const Entry& entry, int previousLanguage) {
    const QString& text = textIn(entry, language_);
    if (text.isEmpty() || !window_)
        return;
    QObject* target = findComponent(window_, componentName(entry.key));
    if (!target)
        return;
    switch (entry.section) {
    case Section::Captions:
        applyCaption(window_, target, text);
        break;
    case Section::Hints:
        applyHint(target, text);
        break;
    case Section::Lines:
        applyLines(target, entry, language_, previousLanguage);
        break;
    case Section::Strings:
        applyString(target, entry, language_, previousLanguage);
        break;
    case Section::Fonts:
        applyFont(target, text);
        break;
    case Section::Collections:
        applyCollectionItem(target, entry.key, text);
        break;
    case Section::Keyed:
        break;
    }
}

} // namespace kvt
