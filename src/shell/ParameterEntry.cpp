#include "shell/ParameterEntry.h"

#include "format/InvalidEntry.h"
#include "format/core/NumberFormat.h"
#include "link/ByteReader.h"
#include "link/Transport.h"
#include "shell/AppContext.h"

#include <QLineEdit>
#include <algorithm>

namespace kvt {

bool sendParameter(AppContext& context, QLineEdit* field, quint8 code, float low, float high) {
    restoreEntryBackground(field);
    const std::optional<double> entry = fmt::readDecimal(field->text());
    if (!entry) {
        showInvalidEntry(field, *context.dialogs, *context.texts);
        return false;
    }
    const float value = std::max(std::min(float(*entry), high), low);
    field->setText(fmt::general(double(value), 5, 4));
    context.link->send(ByteWriter().u8(code).f32le(value).data());
    return true;
}

} // namespace kvt
