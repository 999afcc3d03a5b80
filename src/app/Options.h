// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <optional>

namespace kvt {

// The command-line options of the program.
struct Options {
    bool help = false;
    bool version = false;
    QString simulate;           // model of the simulated controller; empty: real hardware
    QString simState;           // file keeping the simulated controller's memory between runs
    QString screenshot;         // write the main window to this PNG and exit
    int screenshotPage = 0;     // page shown in the screenshot
    QString screenshotWindow;   // "TForm2", "TForm3" or "TFormProgress": render that window instead
    int screenshotLanguage = 1; // 1 Polish, 2 English
    bool screenshotModbusDecoded = false; // the RS485 page's frame preview on, decoded
    QString error;              // set when the options could not be read
};

Options parseOptions(int argc, char** argv);
QString optionsHelp();

} // namespace kvt
