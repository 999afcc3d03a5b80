// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/MainWindow.h"

namespace kvt {

class DialogService;
class HidBackend;
class AboutWindow;
class EncoderTestWindow;
class ProgressWindow;

// The application's windows, created in program-entry order: the main window first, then the
// progress, About and encoder test windows, which stay hidden until used.
class Program {
public:
    Program(HidBackend& backend, DialogService& dialogs,
            MainWindow::StartUp startUp = MainWindow::StartUp::Complete);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    MainWindow* mainWindow;
    ProgressWindow* progressWindow;
    AboutWindow* aboutWindow;
    EncoderTestWindow* encoderTestWindow;
};

// The application's title (task-bar text).
inline constexpr const char* ApplicationTitle = "KVT318-REVIZAREDUVA";

} // namespace kvt
