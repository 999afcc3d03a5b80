// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace kvt::cli {

// The exit codes of kvtctl, as its help and manual page list them.
enum class Exit : int {
    Ok = 0,
    Failure = 1,  // the operation failed: a file that cannot be read or written, a refusal
    Usage = 2,    // the command line is wrong
    NoDevice = 3, // no controller, the one named is not there, or several and none named
    NoAccess = 4, // the controller cannot be opened: no permission
    Timeout = 5,  // the controller did not answer in time, or vanished
    Mismatch = 6, // the controller holds something else than was written or expected
    Interrupted = 130,
};

// Why a command ends without success: one line saying what failed and what to do.
struct Failure {
    Exit exit = Exit::Failure;
    QString message;
};

} // namespace kvt::cli
