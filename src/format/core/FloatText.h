// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "format/core/NumberFormat.h"

#include <QJsonValue>
#include <QString>

// Single-precision values as people and scripts read them. The controller stores singles; widened
// to double, 2.04 becomes 2.0399999618530273, digits the controller never held. These functions
// write the shortest decimal that reads back as the same single instead.
namespace kvt::fmt {

// The shortest decimal that reads back as `value` ("2.04", "0.1", "3", "1e-45"). Plain from
// 1e-5 up to 1e16, otherwise scientific like a JSON writer ("1e+38", "1.5e-07"); zero has no
// sign; values that are not finite give "NAN", "INF" or "-INF", as every format here does.
QString shortestFloat(float value, Separators s);
inline QString shortestFloat(float value) {
    return shortestFloat(value, Separators::current());
}

// `value` as a JSON number a JSON writer prints with the same shortest digits (2.04, not
// 2.0399999618530273); null where it is not finite, since JSON has no NaN or infinity.
QJsonValue floatJson(float value);

} // namespace kvt::fmt
