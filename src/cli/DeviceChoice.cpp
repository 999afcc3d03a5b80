// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/DeviceChoice.h"

#include "link/Model.h"

#include <QStringList>

namespace kvt::cli {

namespace {

QString describe(const HidDeviceInfo& d) {
    QString text = d.path + QStringLiteral(" (") + productText(d);
    if (!d.serial.isEmpty())
        text += QStringLiteral(", ") + d.serial;
    return text + QLatin1Char(')');
}

Failure noAccess(const HidDeviceInfo& d, const Texts& tr) {
    return {Exit::NoAccess,
            tr("cannot open %1: no permission; install the udev rule 70-kvt-controllers.rules (see "
               "kvtctl(1)) and plug the controller in again",
               "nie można otworzyć %1: brak uprawnień; zainstaluj regułę udev 70-kvt-controllers.rules "
               "(zob. kvtctl(1)) i podłącz sterownik ponownie")
                .arg(describe(d))};
}

} // namespace

QString instanceText(quint32 instance) {
    return QStringLiteral("%1").arg(instance, 4, 16, QLatin1Char('0')).toUpper();
}

QString productText(const HidDeviceInfo& d) {
    if (!d.product.isEmpty())
        return d.product;
    return QString::asprintf("Device VID=%04X PID=%04X", unsigned(d.vendorId), unsigned(d.productId));
}

QString deviceLabel(const HidDeviceInfo& d) {
    QString text = productText(d) + QLatin1Char(' ') + d.path;
    if (!d.serial.isEmpty())
        text += QStringLiteral(" (") + d.serial + QLatin1Char(')');
    return text;
}

QJsonObject deviceJson(const HidDeviceInfo& d) {
    QJsonObject o;
    o.insert(QStringLiteral("path"), d.path);
    o.insert(QStringLiteral("product"), productText(d));
    o.insert(QStringLiteral("serial"), d.serial);
    o.insert(QStringLiteral("instance"), instanceText(d.instance));
    return o;
}

bool namesDevice(const HidDeviceInfo& d, const QString& name) {
    return d.path == name || (!d.serial.isEmpty() && d.serial == name) ||
           instanceText(d.instance).compare(name, Qt::CaseInsensitive) == 0;
}

std::variant<int, Failure> chooseDevice(const QList<HidDeviceInfo>& devices, const QString& name,
                                        const Texts& tr) {
    if (!name.isEmpty()) {
        QList<int> named;
        for (int i = 0; i < devices.size(); ++i) {
            if (namesDevice(devices[i], name))
                named.append(i);
        }
        if (named.isEmpty())
            return Failure{Exit::NoDevice,
                           tr("no device \"%1\"; kvtctl list shows the devices present",
                              "brak urządzenia \"%1\"; kvtctl list pokazuje obecne urządzenia")
                               .arg(name)};
        if (named.size() > 1) {
            QStringList which;
            for (const int i : named)
                which.append(describe(devices[i]));
            return Failure{Exit::NoDevice, tr("\"%1\" names several devices: %2; name one by its path",
                                              "\"%1\" wskazuje kilka urządzeń: %2; wskaż jedno ścieżką")
                                               .arg(name, which.join(QStringLiteral(", ")))};
        }
        const HidDeviceInfo& d = devices[named.first()];
        if (!modelFromProduct(d.product))
            return Failure{Exit::NoDevice,
                           tr("%1 is not a supported controller (KVT318, KVT317, PXA-KVT)",
                              "%1 nie jest obsługiwanym sterownikiem (KVT318, KVT317, PXA-KVT)")
                               .arg(describe(d))};
        if (!d.access)
            return noAccess(d, tr);
        return named.first();
    }

    QList<int> controllers;
    for (int i = 0; i < devices.size(); ++i) {
        if (modelFromProduct(devices[i].product))
            controllers.append(i);
    }
    if (controllers.isEmpty())
        return Failure{
            Exit::NoDevice,
            tr("no controller found; plug one in (kvtctl list shows every HID device)",
               "nie znaleziono sterownika; podłącz go (kvtctl list pokazuje wszystkie urządzenia HID)")};
    if (controllers.size() > 1) {
        QStringList which;
        for (const int i : controllers)
            which.append(describe(devices[i]));
        return Failure{Exit::NoDevice, tr("several controllers found: %1; choose one with --device",
                                          "znaleziono kilka sterowników: %1; wybierz jeden opcją --device")
                                           .arg(which.join(QStringLiteral(", ")))};
    }
    const HidDeviceInfo& d = devices[controllers.first()];
    if (!d.access)
        return noAccess(d, tr);
    return controllers.first();
}

} // namespace kvt::cli
