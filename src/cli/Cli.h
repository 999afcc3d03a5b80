// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/Texts.h"

#include <QString>
#include <functional>
#include <memory>

namespace kvt {
class HidBackend;
}

namespace kvt::cli {

// Makes the backend of real hardware; the program passes it in, so only the program links it.
using HardwareBackendFactory = std::function<std::unique_ptr<HidBackend>()>;

// Program entry of kvtctl: reads the command line, runs the command and returns the exit code.
int run(int argc, char** argv, const HardwareBackendFactory& hardware);

// The text of --help, with the exit codes.
QString helpText(const Texts& tr);

} // namespace kvt::cli
