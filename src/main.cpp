// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Main.h"

#include "link/backends/HidBackendChoice.h"

int main(int argc, char** argv) {
    return kvt::runApplication(argc, argv, [] { return kvt::makeHardwareBackend(); });
}
