// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/ListCommand.h"

#include "cli/DeviceChoice.h"
#include "cli/Options.h"
#include "cli/Words.h"
#include "control/core/Identity.h"
#include "format/core/FloatText.h"
#include "link/HidDevice.h"
#include "link/HidDeviceManager.h"
#include "link/OpCode.h"

#include <QJsonArray>
#include <QTimer>

namespace kvt::cli {

ListCommand::ListCommand(Session& session, ArgReader& args) : Command(session) {
    if (!args.positionals().isEmpty())
        args.setError(tr_("list takes no arguments", "list nie przyjmuje argumentów"));
}

void ListCommand::start(ControllerLink*, std::optional<Model>) {
    HidDeviceManager& manager = session_.manager();
    for (int i = 0; i < manager.deviceCount(); ++i) {
        HidDevice* device = manager.device(i);
        if (!device->isPluggedIn())
            continue;
        auto entry = std::make_shared<Entry>();
        entry->info = device->info();
        entries_.append(entry);
        if (!modelFromProduct(entry->info.product) || !entry->info.access)
            continue;
        entry->device = manager.checkOut(i);
        if (!entry->device)
            continue;
        entry->link = std::make_unique<ControllerLink>(manager, entry->device, session_.options().timeoutMs);
        entry->asked = true;
        ++waiting_;
        // A controller that does not answer is listed as such; the others still are.
        entry->link->setOnLost([this](const ControllerLink::Lost&) { answered(); });
        entry->link->request(QByteArray(1, char(op::Identity)), op::Identity,
                             tr_("reading the identity (100)", "odczytu identyfikacji (100)"),
                             [this, entry = entry.get()](const Response& r) {
                                 const control::DeviceIdentity id = control::decodeIdentity(r.data);
                                 entry->answered = true;
                                 entry->firmware = id.firmware;
                                 entry->deviceText = QString::fromLatin1(id.deviceText);
                                 answered();
                             });
    }
    if (waiting_ == 0)
        print();
}

void ListCommand::answered() {
    // Printed from the event loop: printing lets go of the links, one of which is calling here.
    if (--waiting_ == 0)
        QTimer::singleShot(0, this, &ListCommand::print);
}

void ListCommand::print() {
    const fmt::Separators sep = fmt::Separators::current();
    QList<QStringList> rows = {{tr_("PATH", "ŚCIEŻKA"), tr_("PRODUCT", "PRODUKT"), tr_("SERIAL", "NR SER."),
                                tr_("INSTANCE", "INSTANCJA"), tr_("CONTROLLER", "STEROWNIK"),
                                tr_("ACCESS", "DOSTĘP"), tr_("FIRMWARE", "OPROGR."),
                                tr_("DEVICE TEXT", "OPIS")}};
    QJsonArray devices;
    for (const auto& e : std::as_const(entries_)) {
        const bool supported = modelFromProduct(e->info.product).has_value();
        QString firmware = QStringLiteral("-");
        if (e->answered)
            firmware = fmt::shortestFloat(e->firmware, sep);
        else if (e->asked)
            firmware = tr_("no answer", "brak odp.");
        rows.append({e->info.path, productText(e->info),
                     e->info.serial.isEmpty() ? QStringLiteral("-") : e->info.serial,
                     instanceText(e->info.instance), supported ? tr_("yes", "tak") : tr_("no", "nie"),
                     e->info.access ? tr_("yes", "tak") : tr_("no", "nie"), firmware,
                     e->answered ? e->deviceText : QStringLiteral("-")});
        QJsonObject o = deviceJson(e->info);
        o.insert(QStringLiteral("vendorId"),
                 QStringLiteral("%1").arg(e->info.vendorId, 4, 16, QLatin1Char('0')));
        o.insert(QStringLiteral("productId"),
                 QStringLiteral("%1").arg(e->info.productId, 4, 16, QLatin1Char('0')));
        o.insert(QStringLiteral("supported"), supported);
        o.insert(QStringLiteral("access"), e->info.access);
        // Present for every device, null where the device was not asked or did not answer.
        o.insert(QStringLiteral("answered"), e->asked ? QJsonValue(e->answered) : QJsonValue());
        o.insert(QStringLiteral("firmware"), e->answered ? fmt::floatJson(e->firmware) : QJsonValue());
        o.insert(QStringLiteral("deviceText"), e->answered ? QJsonValue(e->deviceText) : QJsonValue());
        devices.append(o);
        // Let go of the controller at once: a listing holds none of them.
        e->link.reset();
        if (e->device)
            session_.manager().checkIn(e->device);
        e->device = nullptr;
    }
    if (entries_.isEmpty())
        out().line(tr_("no HID devices", "brak urządzeń HID"));
    else
        for (const QString& line : alignColumns(rows))
            out().line(line);
    succeed({{QStringLiteral("devices"), devices}});
}

} // namespace kvt::cli
