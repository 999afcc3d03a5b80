// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/core/ReportTexts.h"

#include "assist/core/TextStoreFile.h"

namespace kvt::report {

namespace {

const KeyedTexts& store() {
    static const KeyedTexts Texts(QStringLiteral(":/texts/Report.tsv"));
    return Texts;
}

} // namespace

ReportTexts::ReportTexts(Language language) : language_(language) {}

QString ReportTexts::operator()(const QString& key) const {
    return store().contains(key) ? store().text(key, language_ == Language::English) : key;
}

} // namespace kvt::report
