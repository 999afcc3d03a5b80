// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/Model.h"

#include <QObject>
#include <QString>
#include <optional>

namespace kvt {

// The state the main window shares with every page for the whole run, with a signal for each
// change. Touched only on the user-interface thread.
class AppState : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // 255 while a supported controller is the active device, 0 otherwise.
    quint8 connectedFlag() const { return connected_ ? 255 : 0; }
    bool connected() const { return connected_; }
    void setConnected(bool connected);

    // The connected (or last connected) controller's model; none before the first connection.
    std::optional<Model> model() const { return model_; }
    // Its product string: "KVT318", "KVT317" or "PXA-KVT"; empty before the first connection.
    QString modelName() const { return model_ ? productString(*model_) : QString(); }
    void setModel(Model model);

    // The firmware version as the controller reported it, and its text.
    float firmwareVersionValue() const { return firmwareValue_; }
    const QString& firmwareVersion() const { return firmwareText_; }
    void setFirmwareVersion(float value, const QString& text);

    const QString& deviceText() const { return deviceText_; }

    // What the controller's identity response says: its firmware (value and text) and its device
    // text. identityReported follows every response, also one that repeats the last.
    void setIdentity(float firmware, const QString& firmwareText, const QString& deviceText);

    // Decimals shown for positions and speeds, 0..4.
    int displayDecimals() const { return displayDecimals_; }
    void setDisplayDecimals(int decimals);

    // The unit chosen in the unit selector, which labels positions and speeds (the controller does
    // all scaling); empty while none is chosen. unitApplied follows every choice and every
    // configuration record or file that sets the selector, also when the unit stays the same, so
    // the labels a model profile replaced are rebuilt from it.
    const QString& unit() const { return unit_; }
    void setUnit(const QString& unit);

    // Whether a program may be started and stopped by the controller's inputs, as the
    // configuration shows it.
    bool startByInput() const { return startByInput_; }
    void setStartByInput(bool on) { startByInput_ = on; }

    // The Modbus link as its selectors show it: positions in the rate and address lists (the
    // address is the position plus 1), -1 for none.
    int modbusRateIndex() const { return modbusRateIndex_; }
    int modbusAddressIndex() const { return modbusAddressIndex_; }
    void setModbusLink(int rateIndex, int addressIndex);

    // Amperes at 100 % motor current.
    float fullScaleCurrent() const { return fullScaleCurrent_; }
    void setFullScaleCurrent(float amperes);

    // The folder of the running program, with a trailing separator, and the default program file.
    const QString& applicationDirectory() const { return applicationDirectory_; }
    void setApplicationDirectory(const QString& directory) { applicationDirectory_ = directory; }
    const QString& programFilePath() const { return programFilePath_; }
    void setProgramFilePath(const QString& path) { programFilePath_ = path; }

signals:
    void connectedChanged(bool connected);
    void modelChanged(kvt::Model model);
    void firmwareVersionChanged(const QString& text);
    void displayDecimalsChanged(int decimals);
    void fullScaleCurrentChanged(float amperes);
    void identityReported();
    void unitApplied(const QString& unit);
    void modbusLinkChanged(int rateIndex, int addressIndex);

private:
    bool connected_ = false;
    std::optional<Model> model_;
    float firmwareValue_ = 0.0f;
    QString firmwareText_;
    QString deviceText_;
    int displayDecimals_ = 3;
    float fullScaleCurrent_ = 0.0f;
    QString unit_;
    bool startByInput_ = false;
    int modbusRateIndex_ = -1;
    int modbusAddressIndex_ = 0;
    QString applicationDirectory_;
    QString programFilePath_;
};

} // namespace kvt
