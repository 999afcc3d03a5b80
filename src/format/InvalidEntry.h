// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QLineEdit;

namespace kvt {

class DialogService;
class TranslationStore;

// The one reaction to an entry that is not a number: the field turns RGB #FD7C66 and a warning
// box shows the text of `messageKey` with the caption IDS_110. The caller sends nothing.
void showInvalidEntry(QLineEdit* field, DialogService& dialogs, const TranslationStore& texts,
                      const QString& messageKey = QStringLiteral("IDS_109"));

// Gives a field back its normal background before it is read again.
void restoreEntryBackground(QLineEdit* field);

} // namespace kvt
