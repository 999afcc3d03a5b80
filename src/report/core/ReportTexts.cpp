// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/core/ReportTexts.h"

#include <QFile>
#include <QStringList>

namespace kvt::report {

namespace {

struct Pair {
    QString polish;
    QString english;
};

const QHash<QString, Pair>& store() {
    static const QHash<QString, Pair> Texts = [] {
        QHash<QString, Pair> loaded;
        QFile file(QStringLiteral(":/texts/Report.tsv"));
        if (!file.open(QIODevice::ReadOnly))
            return loaded;
        const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
        for (QString line : lines) {
            if (line.endsWith(QLatin1Char('\r')))
                line.chop(1);
            if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
                continue;
            const QStringList fields = line.split(QLatin1Char('\t'));
            if (fields.size() == 4 && fields[0] == QLatin1String("text"))
                loaded.insert(fields[1], {fields[2], fields[3]});
        }
        return loaded;
    }();
    return Texts;
}

} // namespace

ReportTexts::ReportTexts(Language language) : language_(language) {}

QString ReportTexts::operator()(const QString& key) const {
    const auto found = store().constFind(key);
    if (found == store().constEnd())
        return key;
    if (language_ == Language::English && !found->english.isEmpty())
        return found->english;
    return found->polish;
}

} // namespace kvt::report
