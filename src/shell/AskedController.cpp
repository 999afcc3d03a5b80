// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/AskedController.h"

#include "assist/DialogService.h"
#include "link/Transport.h"
#include "shell/AppContext.h"

#include <QCoreApplication>

namespace kvt {

AskedController::AskedController(const AppContext& context) : instance_(context.link->activeInstance()) {}

bool AskedController::stillActive(const AppContext& context, QWidget* parent) const {
    if (context.link->activeInstance() == instance_)
        return true;
    context.dialogs->message(parent, DialogService::Icon::Warning,
                             context.text(QStringLiteral("CONTROLLER_CHANGED")),
                             QCoreApplication::applicationName());
    return false;
}

} // namespace kvt
