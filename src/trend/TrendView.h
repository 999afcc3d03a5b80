// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the rest of the program knows of the trend window. The window itself, with Qt Charts
// behind it, lives in a module of its own that is loaded when the window is first opened (see
// app/TrendModule.h), so this header names no chart, widget class or library of it.

#include "version/Version.h"

#include <QByteArray>
#include <QString>

class QWidget;

namespace kvt {

struct AppContext;
class Poller;

namespace trend {

class Run;

class TrendView {
public:
    virtual ~TrendView() = default;

    // The window ("TFormTrend"), a child of the main window, which owns it.
    virtual QWidget* widget() = 0;
    // Shows the window (raising it when it is already open) and starts sampling.
    virtual void open() = 0;
    virtual bool isSampling() const = 0;
    // Rebuilds every text after a language switch.
    virtual void retranslate() = 0;

    // The run shown: samples, command marks and connection events since it (re)started, and its
    // recorder (recording or not, rows written, the error that ended it).
    virtual const Run& run() const = 0;
    // The trend file of the last recording started in this window (still going or ended), or
    // an empty text when none was.
    virtual QString lastRecordingPath() const = 0;
};

// Makes the window; the module exports one under CreateViewSymbol. The parent is the main window.
using CreateView = TrendView* (*)(AppContext& context, Poller& poller, QWidget* parent);
inline constexpr char CreateViewSymbol[] = "kvt_trend_create_view";
// The module also exports, under InterfaceSymbol, a function returning the interface tag it was
// built with; a module whose tag differs from the program's (another version of the program, or
// of this interface) is not used. InterfaceRevision changes with every change of TrendView.
using InterfaceOf = const char* (*)();
inline constexpr char InterfaceSymbol[] = "kvt_trend_interface";
inline constexpr int InterfaceRevision = 1;
inline QByteArray interfaceTag() {
    return QByteArray("trend-view/") + QByteArray::number(InterfaceRevision) + QByteArray("/") +
           QByteArray(ProgramVersion);
}

} // namespace trend
} // namespace kvt
