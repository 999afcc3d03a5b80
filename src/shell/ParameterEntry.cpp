// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/ParameterEntry.h"

#include "control/core/MotionCommands.h"
#include "format/InvalidEntry.h"
#include "format/core/NumberFormat.h"
#include "link/Transport.h"
#include "shell/AppContext.h"

#include <QLineEdit>

namespace kvt {

bool sendParameter(AppContext& context, QLineEdit* field, quint8 code, float low, float high) {
    restoreEntryBackground(field);
    const std::optional<double> entry = fmt::readDecimal(field->text());
    if (!entry) {
        showInvalidEntry(field, *context.dialogs, *context.texts);
        return false;
    }
    const float value = control::limitToRange(*entry, low, high);
    field->setText(fmt::general(double(value), 5, 4));
    context.link->send(control::encodeFloatCommand(code, value));
    return true;
}

} // namespace kvt
