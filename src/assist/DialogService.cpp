// SPDX-License-Identifier: GPL-3.0-or-later
#include "assist/DialogService.h"

namespace kvt {

QString withLineBreaks(const QString& storedText) {
    QString shown = storedText;
    shown.replace(QStringLiteral("\\n"), QStringLiteral("\n"));
    return shown;
}

} // namespace kvt
