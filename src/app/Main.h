// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <memory>

namespace kvt {

class HidBackend;

// Makes the backend of real hardware; the program passes it in, so only the program links it.
using HardwareBackendFactory = std::function<std::unique_ptr<HidBackend>()>;

// Program entry: parses the options, builds the windows and runs the event loop.
int runApplication(int argc, char** argv, const HardwareBackendFactory& hardware);

// Whether a window can be shown: the platform plugin chosen by QT_QPA_PLATFORM (or, without
// it, X11 or Wayland) has what it needs. Reads the environment only.
bool hasDisplay();

} // namespace kvt
