// SPDX-License-Identifier: GPL-3.0-or-later
#include "assist/core/TextStoreFile.h"

#include <QFile>
#include <QStringList>
#include <optional>

namespace kvt {

namespace {

using Section = TextStoreEntry::Section;

std::optional<Section> sectionNamed(const QString& name) {
    if (name == QLatin1String("caption"))
        return Section::Captions;
    if (name == QLatin1String("hint"))
        return Section::Hints;
    if (name == QLatin1String("lines"))
        return Section::Lines;
    if (name == QLatin1String("string"))
        return Section::Strings;
    if (name == QLatin1String("font"))
        return Section::Fonts;
    if (name == QLatin1String("collection"))
        return Section::Collections;
    if (name == QLatin1String("text"))
        return Section::Keyed;
    return std::nullopt;
}

} // namespace

QList<TextStoreEntry> parseTextStore(const QString& content) {
    QList<TextStoreEntry> entries;
    const QStringList lines = content.split(QLatin1Char('\n'));
    for (QString line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QStringList fields = line.split(QLatin1Char('\t'));
        if (fields.size() != 4)
            continue;
        const std::optional<Section> section = sectionNamed(fields[0]);
        if (!section || fields[1].isEmpty())
            continue;
        entries.append(TextStoreEntry{*section, fields[1], fields[2], fields[3]});
    }
    return entries;
}

KeyedTexts::KeyedTexts(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    for (const TextStoreEntry& entry : parseTextStore(QString::fromUtf8(file.readAll()))) {
        if (entry.section == Section::Keyed)
            texts_.insert(entry.key, {entry.polish, entry.english});
    }
}

QString KeyedTexts::text(const QString& key, bool english) const {
    const auto found = texts_.constFind(key);
    if (found == texts_.cend())
        return {};
    return english && !found->english.isEmpty() ? found->english : found->polish;
}

} // namespace kvt
