// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "report/core/ReportData.h"

#include <QString>

namespace kvt::report {

// The report's texts in Polish and English, from the translation store "Report" (the same
// four-field lines as the windows' stores; only keyed "text" entries). Read once.
class ReportTexts {
public:
    explicit ReportTexts(Language language);

    // The key's text in the language; the Polish text where the English one is empty; the key
    // itself for a key the store does not hold, so a missing text shows rather than vanishes.
    QString operator()(const QString& key) const;
    Language language() const { return language_; }

private:
    Language language_;
};

} // namespace kvt::report
