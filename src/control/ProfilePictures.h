// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPixmap>

namespace kvt::control {

// The pictures of the motion profile preview (ImageList_VProfile), drawn by the program: speed
// over position, a trapezoid rising from the minimum speed to the maximum speed, a flat top and
// a symmetric fall, in grey on white, labelled Vmax and Vmin on the speed axis, Acc+ on both
// ramps and Xpos at the end point. Each picture draws one element in blue.
enum class ProfileElement {
    MinSpeed = 0,     // the Vmin level
    MaxSpeed = 1,     // the Vmax level
    Acceleration = 2, // the two ramps
    EndPosition = 3,  // the end position
};

inline constexpr int ProfilePictureWidth = 145;
inline constexpr int ProfilePictureHeight = 79;
inline constexpr int ProfilePictureCount = 4;

QPixmap profilePicture(ProfileElement highlighted);

} // namespace kvt::control
