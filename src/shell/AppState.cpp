// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/AppState.h"

#include <algorithm>

namespace kvt {

void AppState::setConnected(bool connected) {
    if (connected_ == connected)
        return;
    connected_ = connected;
    emit connectedChanged(connected);
}

void AppState::setModel(Model model) {
    const bool changed = model_ != model;
    model_ = model;
    if (changed)
        emit modelChanged(model);
}

void AppState::setFirmwareVersion(float value, const QString& text) {
    firmwareValue_ = value;
    if (firmwareText_ == text)
        return;
    firmwareText_ = text;
    emit firmwareVersionChanged(text);
}

void AppState::setIdentity(float firmware, const QString& firmwareText, const QString& deviceText) {
    setFirmwareVersion(firmware, firmwareText);
    deviceText_ = deviceText;
    emit identityReported();
}

void AppState::setUnit(const QString& unit) {
    unit_ = unit;
    emit unitApplied(unit);
}

void AppState::setModbusLink(int rateIndex, int addressIndex) {
    if (modbusRateIndex_ == rateIndex && modbusAddressIndex_ == addressIndex)
        return;
    modbusRateIndex_ = rateIndex;
    modbusAddressIndex_ = addressIndex;
    emit modbusLinkChanged(rateIndex, addressIndex);
}

void AppState::setDisplayDecimals(int decimals) {
    decimals = std::clamp(decimals, 0, 4);
    if (displayDecimals_ == decimals)
        return;
    displayDecimals_ = decimals;
    emit displayDecimalsChanged(decimals);
}

void AppState::setFullScaleCurrent(float amperes) {
    if (fullScaleCurrent_ == amperes)
        return;
    fullScaleCurrent_ = amperes;
    emit fullScaleCurrentChanged(amperes);
}

} // namespace kvt
