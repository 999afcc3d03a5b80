// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>
#include <QImage>
#include <QPixmap>

namespace kvt::artwork {

// The pictures of the main window, drawn by the program so that no image files are needed.

// Page icons of ImageList1, 32 x 32: 0 control, 1 configuration, 2 RS485, 3 program,
// 4 (unused), 5 functions.
QIcon pageIcon(int index);
// Small flags for the language box: 0 Polish, 1 English.
QIcon languageFlag(int index);
// The glyph under the caption of the emergency-stop button, `size` pixels square.
QIcon stopGlyph(int size);
// The program's own icon, `size` pixels square, for the desktop: the configuration gear with the
// motor of the Control page before it, drawn at that size rather than scaled from a picture.
QImage applicationIcon(int size);

} // namespace kvt::artwork
