// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <optional>

namespace kvt::cli {

enum class Language { English, Polish };

// The language of the user's locale: Polish where the locale is Polish, English otherwise.
Language languageFromLocale();
// "pl" or "en"; none for anything else.
std::optional<Language> languageFromName(const QString& name);

// Messages in the user's language. Every text is written in both languages where it is used,
// English first, as UTF-8 literals.
class Texts {
public:
    explicit Texts(Language language = Language::English) : language_(language) {}

    Language language() const { return language_; }
    QString operator()(const char* english, const char* polish) const {
        return QString::fromUtf8(language_ == Language::Polish ? polish : english);
    }

private:
    Language language_;
};

} // namespace kvt::cli
