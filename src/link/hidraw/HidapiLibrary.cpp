// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/hidraw/HidapiLibrary.h"

#include <hidapi.h>

namespace kvt {

namespace {
int userCount = 0; // guarded by HidapiUse::mutex()
} // namespace

std::mutex& HidapiUse::mutex() {
    static std::mutex m;
    return m;
}

HidapiUse::HidapiUse() {
    std::lock_guard lock(mutex());
    if (userCount++ == 0)
        hid_init();
}

HidapiUse::~HidapiUse() {
    std::lock_guard lock(mutex());
    if (--userCount == 0)
        hid_exit();
}

int HidapiUse::users() {
    std::lock_guard lock(mutex());
    return userCount;
}

} // namespace kvt
