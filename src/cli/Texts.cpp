// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Texts.h"

#include <QLocale>

namespace kvt::cli {

Language languageFromLocale() {
    return QLocale::system().language() == QLocale::Polish ? Language::Polish : Language::English;
}

std::optional<Language> languageFromName(const QString& name) {
    if (name == QLatin1String("pl"))
        return Language::Polish;
    if (name == QLatin1String("en"))
        return Language::English;
    return std::nullopt;
}

} // namespace kvt::cli
