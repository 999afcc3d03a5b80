// SPDX-License-Identifier: GPL-3.0-or-later
#include "control/core/Identity.h"

#include "link/ByteReader.h"

#include <cmath>

namespace kvt::control {

namespace {
constexpr double AnalogInputVersion = 2.0;
constexpr double FullVersion = 2.04;
} // namespace

DeviceIdentity decodeIdentity(const QByteArray& response) {
    const ByteReader r(response);
    return {r.f32le(1), r.cstring(5)};
}

QString versionText(float firmware, fmt::Separators separators) {
    return fmt::general(firmware, 3, 2, separators);
}

double shownVersion(float firmware) {
    if (!std::isfinite(firmware))
        return 0.0;
    // The same rounding as the text the user sees, read back with a fixed decimal point.
    const fmt::Separators point{QLatin1Char('.'), QLatin1Char(',')};
    bool ok = false;
    const double v = versionText(firmware, point).toDouble(&ok);
    return ok ? v : 0.0;
}

float minimumFirmware(Model model) {
    return model == Model::PxaKvt ? 1.10f : 1.16f;
}

bool olderThanMinimum(Model model, float firmware) {
    return firmware < minimumFirmware(model);
}

FeatureLevel featureLevel(float firmware) {
    const double v = shownVersion(firmware);
    if (v < AnalogInputVersion)
        return FeatureLevel::Basic;
    return v < FullVersion ? FeatureLevel::AnalogInput : FeatureLevel::Full;
}

} // namespace kvt::control
