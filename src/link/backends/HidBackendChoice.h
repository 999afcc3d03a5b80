// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/HidBackend.h"

#include <QString>
#include <memory>
#include <optional>

namespace kvt {

// The hardware backends, by the names the environment variable KVT_HID_BACKEND takes.
enum class HidBackendKind {
    Hidraw, // "hidraw": Linux hidraw nodes, report sizes from the kernel, udev hot-plug
    Hidapi, // "hidapi": the HID library's portable calls, hot-plug by listing every second
};

struct HidBackendChoice {
    std::optional<HidBackendKind> kind; // none when the value names no backend of this build
    QString error;                      // then what to tell the user
};

// The backend that `value` (the variable's value; null or empty when it is not set) names, on a
// build that has the hidraw backend or not. Unset, it is hidraw where that was built, else hidapi.
HidBackendChoice chooseHidBackend(const QString& value, bool hidrawBuilt);

// Makes the backend KVT_HID_BACKEND names on this build. Throws std::runtime_error, with a line
// for the user, when it names none.
std::unique_ptr<HidBackend> makeHardwareBackend();

} // namespace kvt
