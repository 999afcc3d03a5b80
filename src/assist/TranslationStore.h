// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "assist/core/TextStoreFile.h"

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

    // What a line of the store's file holds (assist/core/TextStoreFile.h).
    using Section = TextStoreEntry::Section;
    using Entry = TextStoreEntry;

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

} // namespace kvt
