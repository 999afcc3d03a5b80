// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/Texts.h"
#include "format/core/NumberFormat.h"
#include "link/Model.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>

// The controller's values in words, for people; JSON output carries the numbers themselves.
namespace kvt::cli {

QString unitText(int units, const Texts& tr);      // 0 rev, 1 mm, 2 cm, 3 m
QString motorStateText(int code, const Texts& tr); // the motor state of the live status
QString runStateText(int state, const Texts& tr);  // the program's run state
QString onOff(bool on, const Texts& tr);
// The names of the six inputs in bit order, as the model labels them.
QStringList inputNames(Model model);
// A step-division code as its division ("1/16"); on the KVT317 codes 40 and 64 are 1/64 and 1/128.
QString stepDivisionText(int code, Model model);
// A single-precision value as the shortest decimal that reads back as it, with the locale's
// decimal mark: 2.04, not 2.0399999.
QString numberText(float value);

// Lines of cells as aligned columns (two blanks between them), for listings.
QStringList alignColumns(const QList<QStringList>& rows);

} // namespace kvt::cli
