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
    void setDeviceText(const QString& text) { deviceText_ = text; }

    // Decimals shown for positions and speeds, 0..4.
    int displayDecimals() const { return displayDecimals_; }
    void setDisplayDecimals(int decimals);

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

private:
    bool connected_ = false;
    std::optional<Model> model_;
    float firmwareValue_ = 0.0f;
    QString firmwareText_;
    QString deviceText_;
    int displayDecimals_ = 3;
    float fullScaleCurrent_ = 0.0f;
    QString applicationDirectory_;
    QString programFilePath_;
};

} // namespace kvt
