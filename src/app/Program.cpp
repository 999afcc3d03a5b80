// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Program.h"

#include "app/MainWindow.h"
#include "assist/AboutWindow.h"
#include "encoder/EncoderTestWindow.h"
#include "program/ProgressWindow.h"

namespace kvt {

Program::Program(HidBackend& backend, DialogService& dialogs, MainWindow::StartUp startUp) {
    mainWindow = new MainWindow(backend, dialogs, startUp);
    auto language = [form = mainWindow] { return form->languageIndex(); };
    progressWindow = new ProgressWindow(language, mainWindow);
    aboutWindow = new AboutWindow(language, mainWindow);
    encoderTestWindow = new EncoderTestWindow(mainWindow->context(), language, mainWindow);
    mainWindow->attachWindows(progressWindow, aboutWindow, encoderTestWindow);
}

Program::~Program() {
    delete mainWindow; // the secondary windows are its children
}

} // namespace kvt
