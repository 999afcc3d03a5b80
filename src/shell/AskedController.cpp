// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/AskedController.h"

#include "assist/DialogService.h"
#include "assist/TranslationStore.h"
#include "link/Transport.h"
#include "shell/AppContext.h"

#include <QCoreApplication>

namespace kvt {

AskedController::AskedController(const AppContext& context) : instance_(context.link->activeInstance()) {}

bool AskedController::stillActive(const AppContext& context, QWidget* parent) const {
    if (context.link->activeInstance() == instance_)
        return true;
    const bool english = context.texts && context.texts->language() == TranslationStore::English;
    const QString text =
        english ? QStringLiteral("The controller changed while the question was open: nothing was sent.")
                : QStringLiteral("Sterownik zmienił się, gdy pytanie było otwarte: nic nie wysłano.");
    context.dialogs->message(parent, DialogService::Icon::Warning, text, QCoreApplication::applicationName());
    return false;
}

} // namespace kvt
