// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/Exit.h"
#include "cli/Texts.h"
#include "link/HidBackend.h"

#include <QJsonObject>
#include <QList>
#include <QString>
#include <variant>

namespace kvt::cli {

// How a device is named on the command line and in listings.
QString instanceText(quint32 instance);           // the kernel's form, four or more hexadecimal digits
QString productText(const HidDeviceInfo& device); // product string or "Device VID=.. PID=.."
// "KVT318 sim:/dev/hidraw0 (SIM1)": the controller a result is about.
QString deviceLabel(const HidDeviceInfo& device);
QJsonObject deviceJson(const HidDeviceInfo& device); // path, product, serial, instance

// Whether `name` names the device: its path, its serial number or its instance.
bool namesDevice(const HidDeviceInfo& device, const QString& name);

// The device a command talks to, as an index into `devices`: the one `name` names, or without a
// name the only supported controller. Failures tell what to do: no device, several (listing
// them), not a controller, or no access (with the hint to install the udev rule).
std::variant<int, Failure> chooseDevice(const QList<HidDeviceInfo>& devices, const QString& name,
                                        const Texts& tr);

} // namespace kvt::cli
