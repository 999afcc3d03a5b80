// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Cli.h"
#include "link/backends/HidBackendChoice.h"

int main(int argc, char** argv) {
    return kvt::cli::run(argc, argv, [] { return kvt::makeHardwareBackend(); });
}
