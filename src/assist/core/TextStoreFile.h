// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QList>
#include <QString>

namespace kvt {

// One line of a translation store's file (src/assist/texts/*.tsv): four tab-separated fields,
// section, key, Polish text, English text. Texts are kept exactly as written, blanks included.
struct TextStoreEntry {
    enum class Section {
        Captions,    // key: component name; the component's caption
        Hints,       // key: component name; the component's tooltip
        Lines,       // key: "Component.Property"; a list-of-lines property (memo text)
        Strings,     // key: "Component.Property"; any other string property (edit text, dialog filter)
        Fonts,       // key: component name; the font face per language
        Collections, // key: "Component.Collection[index].Property"; items of a collection
        Keyed,       // key: "IDS_<n>" or a feature's own name; looked up by operations
    };

    Section section;
    QString key;
    QString polish;
    QString english;
};

// Parses a store file's text. Comment lines (#), empty lines and lines that are not four fields
// with a known section and a key are skipped.
QList<TextStoreEntry> parseTextStore(const QString& content);

// The keyed texts of a store file, for code that applies no texts to widgets.
class KeyedTexts {
public:
    // Reads the store at `path` (a resource such as ":/texts/Report.tsv"); empty when unreadable.
    explicit KeyedTexts(const QString& path);

    bool contains(const QString& key) const { return texts_.contains(key); }
    // The key's text, in English or Polish; the Polish text where the English one is empty; the
    // empty text for a key the store does not hold.
    QString text(const QString& key, bool english) const;

private:
    struct Pair {
        QString polish;
        QString english;
    };
    QHash<QString, Pair> texts_;
};

} // namespace kvt
