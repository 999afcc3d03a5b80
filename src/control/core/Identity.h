// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "format/core/NumberFormat.h"
#include "link/Model.h"

#include <QByteArray>
#include <QString>

namespace kvt::control {

// Response 100, the device identity.
struct DeviceIdentity {
    float firmware = 0;
    QByteArray deviceText; // 8-bit text as received, without its terminating zero
};

// Decodes response 100 (operation code first). A device text without a terminating zero ends
// at the end of the response.
DeviceIdentity decodeIdentity(const QByteArray& response);

// The firmware version as it is shown: general(3, 2) with the locale's separators.
QString versionText(float firmware, fmt::Separators separators);

// The version as shown, as a number: rounded to three significant digits. Versions are compared
// as numbers, so a version of 10 or more ranks above 2. A value that is not a finite number
// counts as 0.
double shownVersion(float firmware);

// The oldest firmware the tool supports fully on `model` (1.16, or 1.10 on the PXA-KVT), and
// whether `firmware` is older. The minimum is taken at single precision, so a controller that
// reports exactly the minimum passes.
float minimumFirmware(Model model);
bool olderThanMinimum(Model model, float firmware);

// What the firmware offers: below 2 no unit scaling and no analog-input settings; from 2 the
// analog input; from 2.04 also input simulation, the raw encoder count and the move timing.
enum class FeatureLevel { Basic, AnalogInput, Full };
FeatureLevel featureLevel(float firmware);

} // namespace kvt::control
