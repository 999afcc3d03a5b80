// SPDX-License-Identifier: GPL-3.0-or-later
#include "format/InvalidEntry.h"

#include "assist/Colors.h"
#include "assist/DialogService.h"
#include "assist/TranslationStore.h"

#include <QLineEdit>

namespace kvt {

void showInvalidEntry(QLineEdit* field, DialogService& dialogs, const TranslationStore& texts,
                      const QString& messageKey) {
    setBackground(field, colors::Error);
    dialogs.message(field->window(), DialogService::Icon::Warning, texts.text(messageKey),
                    texts.text(QStringLiteral("IDS_110")), DialogService::Buttons::Ok);
}

void restoreEntryBackground(QLineEdit* field) {
    resetBackground(field);
}

} // namespace kvt
