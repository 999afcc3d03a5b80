// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Words.h"

#include "format/core/FloatText.h"

#include <algorithm>

namespace kvt::cli {

QString unitText(int units, const Texts& tr) {
    switch (units) {
    case 0:
        return tr("rev", "obr.");
    case 1:
        return QStringLiteral("mm");
    case 2:
        return QStringLiteral("cm");
    case 3:
        return QStringLiteral("m");
    default:
        return QStringLiteral("?");
    }
}

QString motorStateText(int code, const Texts& tr) {
    switch (code) {
    case 0:
        return tr("off", "wyłączony");
    case 1:
        return tr("on, standing", "włączony");
    case 2:
        return tr("speed mode", "tryb prędkości");
    case 3:
        return tr("positioning", "tryb pozycji");
    case 4:
        return tr("position reached", "pozycja osiągnięta");
    case 5:
        return tr("position error", "błąd pozycji");
    case 6:
        return tr("homing", "bazowanie");
    case 7:
        return tr("overload", "przeciążenie");
    case 8:
        return tr("position correction", "korekcja pozycji");
    case 9:
        return tr("speed from the 0-10 V input", "prędkość z wejścia 0-10 V");
    default:
        return tr("state %1", "stan %1").arg(code);
    }
}

QString runStateText(int state, const Texts& tr) {
    switch (state) {
    case 0:
        return tr("off", "wyłączony");
    case 1:
        return tr("running", "uruchomiony");
    case 3:
        return tr("paused", "wstrzymany");
    default:
        return tr("state %1", "stan %1").arg(state);
    }
}

QString onOff(bool on, const Texts& tr) {
    return on ? tr("on", "wł.") : tr("off", "wył.");
}

QStringList inputNames(Model model) {
    switch (model) {
    case Model::Kvt317:
        return {"Run", "Stop", "EncA", "EncB", "Home1", "Home2"};
    case Model::PxaKvt:
        return {"Run", "In3", "In1", "In2", "Home1", "Home2"};
    case Model::Kvt318:
        break;
    }
    return {"Run", "Stop", "In1", "In2", "Home1", "Home2"};
}

QString stepDivisionText(int code, Model model) {
    int division = code;
    if (model == Model::Kvt317 && (code == 40 || code == 64))
        division = code == 40 ? 64 : 128;
    return QStringLiteral("1/%1").arg(division);
}

QString numberText(float value) {
    return fmt::shortestFloat(value);
}

QStringList alignColumns(const QList<QStringList>& rows) {
    QList<int> widths;
    for (const QStringList& row : rows) {
        for (int i = 0; i < row.size(); ++i) {
            if (widths.size() <= i)
                widths.append(0);
            widths[i] = std::max(widths[i], int(row[i].size()));
        }
    }
    QStringList lines;
    for (const QStringList& row : rows) {
        QString line;
        for (int i = 0; i < row.size(); ++i)
            line += i + 1 < row.size() ? row[i].leftJustified(widths[i] + 2) : row[i];
        lines.append(line);
    }
    return lines;
}

} // namespace kvt::cli
