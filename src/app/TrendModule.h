// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "trend/TrendView.h"

#include <QString>
#include <QStringList>

namespace kvt {

// Finds the trend window's maker. The program loads it from the module kvt-revizareduva-trend.so,
// looked for beside the executable (a build tree) and then in the program's private library
// folder relative to it (an installed program, e.g. /usr/lib/<triplet>/kvt-revizareduva for
// /usr/bin). A process that links the window in (the tests) provides its maker instead.
class TrendModule {
public:
    static constexpr const char* FileName = "kvt-revizareduva-trend.so";

    struct Found {
        trend::CreateView create = nullptr; // null when not found; `error` says why
        QString error;
    };

    // The maker, loading the module when it is first asked for; once found, every later call gives
    // the same maker, and after a failure the next call tries again.
    static Found find();
    // Where the module is looked for, in order, for the executable in `applicationDir`.
    static QStringList candidates(const QString& applicationDir);
    // Loads the module at the first of `paths` that exists and checks its interface tag.
    static Found load(const QStringList& paths);
    // Makes find() answer `create` without loading anything.
    static void provide(trend::CreateView create);
};

} // namespace kvt
