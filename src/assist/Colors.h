// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>

class QWidget;

namespace kvt {

// Status colours shared by every window.
namespace colors {
inline const QColor Active{0xA5, 0xFF, 0x00};      // active or on
inline const QColor Error{0xFD, 0x7C, 0x66};       // off or error, invalid entry
inline const QColor Connected{0xAF, 0xD8, 0x87};   // connected
inline const QColor Warning{0xFF, 0xA5, 0x00};     // warning or paused
inline const QColor Information{0xAD, 0xD8, 0xE6}; // information
inline const QColor Failed{0xFF, 0x00, 0x00};      // test failed
inline const QColor ModbusRx{0x00, 0xA5, 0xFF};    // Modbus receive indicator
inline const QColor HelpPanel{192, 220, 192};      // help panel background
} // namespace colors

// Colours go through palettes, never style sheets. The background role is Base for edit fields
// and memos and Window for everything else; the text role likewise Text or WindowText.
void setBackground(QWidget* widget, const QColor& color);
void setTextColor(QWidget* widget, const QColor& color);
// Back to the colours the widget's style gives it.
void resetBackground(QWidget* widget);
void resetTextColor(QWidget* widget);
QColor background(const QWidget* widget);
QColor textColor(const QWidget* widget);
// True for widgets whose colours live in the Base/Text roles (edit fields, memos, lists).
bool usesBaseRole(const QWidget* widget);

} // namespace kvt
