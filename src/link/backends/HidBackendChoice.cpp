// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/backends/HidBackendChoice.h"

#include "link/hidapi/HidapiBackend.h"

#include <stdexcept>

#ifdef KVT_HAVE_HIDRAW
#include "link/hidraw/HidrawBackend.h"
#endif

namespace kvt {

namespace {

constexpr char VariableName[] = "KVT_HID_BACKEND";

#ifdef KVT_HAVE_HIDRAW
constexpr bool HidrawBuilt = true;
#else
constexpr bool HidrawBuilt = false;
#endif

} // namespace

HidBackendChoice chooseHidBackend(const QString& value, bool hidrawBuilt) {
    if (value.isEmpty())
        return {hidrawBuilt ? HidBackendKind::Hidraw : HidBackendKind::Hidapi, {}};
    if (value == QLatin1String("hidapi"))
        return {HidBackendKind::Hidapi, {}};
    if (value == QLatin1String("hidraw")) {
        if (hidrawBuilt)
            return {HidBackendKind::Hidraw, {}};
        return {std::nullopt, QStringLiteral("%1=hidraw: this build has no hidraw backend (it needs Linux "
                                             "and libudev); use hidapi or leave the variable unset")
                                  .arg(QLatin1String(VariableName))};
    }
    const QString names = hidrawBuilt ? QStringLiteral("hidraw or hidapi") : QStringLiteral("hidapi");
    return {std::nullopt, QStringLiteral("%1=\"%2\" names no HID backend; use %3, or leave the variable "
                                         "unset for the default")
                              .arg(QLatin1String(VariableName), value, names)};
}

std::unique_ptr<HidBackend> makeHardwareBackend() {
    const HidBackendChoice choice = chooseHidBackend(qEnvironmentVariable(VariableName), HidrawBuilt);
    if (!choice.kind)
        throw std::runtime_error(choice.error.toStdString());
#ifdef KVT_HAVE_HIDRAW
    if (*choice.kind == HidBackendKind::Hidraw)
        return std::make_unique<HidrawBackend>();
#endif
    return std::make_unique<HidapiBackend>();
}

} // namespace kvt
