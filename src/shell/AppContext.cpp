// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/AppContext.h"

#include "assist/TranslationStore.h"

namespace kvt {

QString AppContext::text(const QString& key) const {
    return texts ? texts->text(key) : QString();
}

} // namespace kvt
