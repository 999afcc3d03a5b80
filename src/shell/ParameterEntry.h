// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

class QLineEdit;

namespace kvt {

struct AppContext;

// Reads a number from `field`, limits it to [low, high] as every float command is (a value beyond
// a single-precision float to the nearer bound, one that is not a number to `low`), writes it back as
// general(5, 4) and sends `code` followed by the value as a little-endian single. Returns false (after the
// invalid-entry reaction, nothing sent) when the field does not hold a number.
bool sendParameter(AppContext& context, QLineEdit* field, quint8 code, float low, float high);

} // namespace kvt
