// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Session.h"

#include "cli/DeviceChoice.h"
#include "link/HidDevice.h"
#include "link/HidDeviceManager.h"

#include <QCoreApplication>

namespace kvt::cli {

Session::Session(GlobalOptions options, const Output& out, Texts tr, HidBackend& backend)
    : options_(std::move(options)), out_(out), tr_(tr),
      manager_(std::make_unique<HidDeviceManager>(&backend)) {
    // The first device change comes from the device layer itself once the event loop runs.
    connect(manager_.get(), &HidDeviceManager::devicesChanged, this, &Session::devicesListed);
}

Session::~Session() {
    // The link lets go of its device before the device layer stops every reader and writer.
    link_.reset();
    manager_.reset();
}

void Session::start(Command* command) {
    command_ = command;
}

void Session::devicesListed() {
    if (listed_ || finished_ || !command_)
        return;
    listed_ = true;
    if (!command_->needsController()) {
        command_->start(nullptr, std::nullopt);
        return;
    }
    openController();
}

void Session::openController() {
    QList<HidDeviceInfo> devices;
    QList<int> indexes;
    for (int i = 0; i < manager_->deviceCount(); ++i) {
        if (manager_->device(i)->isPluggedIn()) {
            devices.append(manager_->device(i)->info());
            indexes.append(i);
        }
    }
    const std::variant<int, Failure> chosen = chooseDevice(devices, options_.device, tr_);
    if (const Failure* failure = std::get_if<Failure>(&chosen)) {
        fail(*failure);
        return;
    }
    HidDevice* device = manager_->checkOut(indexes[std::get<int>(chosen)]);
    if (!device) {
        fail({Exit::NoDevice,
              tr_("the controller vanished before it could be opened; plug it in and try again",
                  "sterownik zniknął przed otwarciem; podłącz go i spróbuj ponownie")});
        return;
    }
    link_ = std::make_unique<ControllerLink>(*manager_, device, options_.timeoutMs);
    link_->setOnLost([this](const ControllerLink::Lost& lost) { fail(lostAnswer(lost)); });
    command_->start(link_.get(), modelFromProduct(device->productName()));
}

void Session::finish(Exit exit) {
    if (finished_)
        return;
    finished_ = true;
    exit_ = exit;
    if (link_)
        link_->cancel();
    QCoreApplication::exit(int(exit));
}

void Session::fail(const Failure& failure, const QJsonObject& fields) {
    if (finished_)
        return;
    out_.error(command_ ? command_->name() : QString(), failure, fields);
    finish(failure.exit);
}

void Session::interrupt() {
    if (finished_)
        return;
    if (command_ && listed_)
        command_->interrupt();
    else
        fail({Exit::Interrupted, tr_("interrupted", "przerwano")});
}

Failure Session::lostAnswer(const ControllerLink::Lost& lost) const {
    if (lost.vanished)
        return {Exit::Timeout, tr_("the controller vanished while %1; check its USB connection and run the "
                                   "command again",
                                   "sterownik zniknął podczas %1; sprawdź połączenie USB i uruchom polecenie "
                                   "ponownie")
                                   .arg(lost.step)};
    return {Exit::Timeout,
            tr_("no answer from the controller within %1 ms while %2; check that it is powered "
                "and connected, or wait longer with --timeout",
                "brak odpowiedzi sterownika w ciągu %1 ms podczas %2; sprawdź zasilanie i "
                "połączenie albo wydłuż czas opcją --timeout")
                .arg(lost.waitedMs)
                .arg(lost.step)};
}

void Command::interrupt() {
    fail(Exit::Interrupted, tr_("interrupted", "przerwano"));
}

} // namespace kvt::cli
