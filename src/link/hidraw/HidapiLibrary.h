// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <mutex>

namespace kvt {

// The HID library's global state. It is initialised while anything uses it — the backend, and
// every open handle, which may outlive the backend on a reader or writer thread that ended late —
// and released when the last user is gone. Its calls that replace the library's unguarded global
// error text (enumeration, opening, closing) run under `mutex()`.
class HidapiUse {
public:
    HidapiUse();
    ~HidapiUse();
    HidapiUse(const HidapiUse&) = delete;
    HidapiUse& operator=(const HidapiUse&) = delete;

    static std::mutex& mutex();
    // How many users hold the library now; for tests.
    static int users();
};

} // namespace kvt
