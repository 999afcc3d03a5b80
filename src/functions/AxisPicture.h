// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPixmap>

namespace kvt::functions {

// The illustration of the back-and-forth function: a linear axis with the end switch HOME1 at
// its left end, HOME2 at its right end, and a carriage between them with a double arrow.
QPixmap axisPicture(int width, int height);

} // namespace kvt::functions
