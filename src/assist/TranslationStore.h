// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QPointer>
#include <QString>
#include <QWidget>

namespace kvt {

// The texts of one window in Polish and English: the property entries that are applied to the
// window's components when the language changes, and the keyed texts ("IDS_<n>") that operations
// look up at the moment they produce a text. Each window has its own store; keys of different
// stores are independent.
class TranslationStore {
public:
    enum Language { Polish = 1, English = 2 };

    enum class Section {
        Captions,    // key: component name; the component's caption
        Hints,       // key: component name; the component's tooltip
        Lines,       // key: "Component.Property"; a list-of-lines property (memo text)
        Strings,     // key: "Component.Property"; any other string property (edit text, dialog filter)
        Fonts,       // key: component name; the font face per language
        Collections, // key: "Component.Collection[index].Property"; items of a collection
        Keyed,       // key: "IDS_<n>"; looked up by operations
    };

    struct Entry {
        Section section;
        QString key;
        QString polish;
        QString english;
    };

    // Loads the store named `storeName` ("TForm1", "TForm2", "TForm3", "TFormProgress") from the
    // application's resources. `window` is the window whose components the property entries name
    // (may be null for a store used only for keyed lookups).
    TranslationStore(QWidget* window, const QString& storeName);

    // Keyed lookup: the key's text in the active language; the Polish text when that one is empty;
    // the empty text for a key the store does not hold.
    QString text(const QString& key) const;

    int language() const { return language_; }

    // Makes `language` (1 Polish, 2 English) active and applies every property entry whose text in
    // that language is not empty. Does nothing for the active language; rejects other indexes.
    bool setLanguage(int language);
    // Applies the font entries of the active language again (a window that is shown repeatedly
    // gets its fonts whatever language it was built in).
    void applyFonts();

    const QList<Entry>& entries() const { return entries_; }
    const QString& name() const { return name_; }

private:
    void apply(const Entry& entry, int previousLanguage);

    QPointer<QWidget> window_;
    QString name_;
    QList<Entry> entries_;
    int language_ = Polish;
};

// Parses a store's text resource; exposed for tests. Each non-comment line holds four fields
// separated by tabs: section, key, Polish text, English text.
QList<TranslationStore::Entry> parseTranslationStore(const QString& content);

} // namespace kvt
