#pragma once

#include <QString>
#include <array>

namespace kvt {

class TJvHidDevice;

// The state the main window shares with every page for the whole run. Touched only on the
// user-interface thread.
struct MainState {
    quint8 Connected = 0;                   // 255 while a supported controller is the active device
    TJvHidDevice* ActiveDevice = nullptr;   // target of every command
    std::array<quint8, 64> CommandBuffer{}; // the command last sent, operation code first
    QString ModelName;                      // "KVT318", "KVT317" or "PXA-KVT"
    float FirmwareVersionValue = 0.0f;      // as the controller reported it
    QString FirmwareVersion;                // its text, general(3, 2)
    QString DeviceText;
    quint8 DisplayDecimals = 3;    // 0..4, decimals of positions and speeds
    float FullScaleCurrent = 0.0f; // amperes at 100 % motor current
    QString ApplicationDirectory;  // with trailing separator
    QString ProgramFilePath;

    bool connected() const { return Connected != 0; }
};

} // namespace kvt
