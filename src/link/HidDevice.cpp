// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/HidDevice.h"

#include "link/HidDeviceManager.h"

#include <QPointer>

namespace kvt {

HidDevice::HidDevice(HidDeviceManager* owner, HidDeviceInfo info)
    : QObject(owner), owner_(owner), info_(std::move(info)) {}

HidDevice::~HidDevice() {
    stopIo();
}

void HidDevice::setDataHandler(DataHandler handler) {
    handler_ = std::move(handler);
    if (!handler_) {
        stopReader(); // commands already queued still go out
        return;
    }
    // A device kept across a rescan keeps its reader and writer, unless the reader has ended (the
    // device could not be opened): then both open it again.
    if (reader_ && reader_->finished())
        stopIo();
    if (!reader_ && checkedOut_ && pluggedIn_ && info_.access)
        startReader();
}

void HidDevice::startReader() {
    ++generation_;
    const quint64 generation = generation_;
    QPointer<HidDevice> self(this);
    IoCounter pending = owner_->ioPending_;
    std::shared_ptr<HidDeviceManager::Mailbox> mailbox = owner_->mailbox_;
    HidReader::Callbacks callbacks;
    // Runs on the reader's thread: the report is queued to the user-interface thread, in order,
    // tagged with the generation it was read under.
    std::shared_ptr<ReportBacklog> backlog = backlog_;
    callbacks.deliver = [self, mailbox, generation, pending, backlog](QByteArray report) {
        ++*pending;
        backlog->add();
        const bool posted = mailbox->post([self, generation, pending, backlog, report = std::move(report)] {
            --*pending;
            backlog->remove();
            if (self)
                self->deliver(generation, report);
        });
        if (!posted) {
            --*pending;
            backlog->remove();
        }
    };
    HidDeviceManager* owner = owner_;
    callbacks.failed = [mailbox, owner] { mailbox->post([owner] { owner->requestRescan(); }); };
    readerReady_ = std::make_shared<ReadyGate>();
    reader_ = std::make_unique<HidReader>(
        owner_->backend(), HidReader::Target{info_.path, info_.instance, info_.inputReportLength},
        std::move(callbacks), readerReady_, backlog_);
}

void HidDevice::deliver(quint64 generation, const QByteArray& report) {
    if (generation != generation_ || !reader_ || !handler_ || report.isEmpty())
        return;
    handler_(this, quint8(report[0]), report.mid(1));
}

bool HidDevice::writeReport(const QByteArray& report) {
    if (!pluggedIn_ || !info_.access)
        return false;
    if (!writer_)
        writer_ =
            std::make_unique<HidWriter>(owner_->backend(), info_.path, info_.instance, owner_->ioPending_);
    writer_->queue(report, reader_ ? readerReady_ : nullptr);
    return true;
}

void HidDevice::stopReader() {
    if (!reader_)
        return;
    ++generation_;
    reader_->requestStop();
    owner_->retire(std::move(reader_), nullptr);
}

void HidDevice::stopIo() {
    if (reader_ || writer_)
        ++generation_;
    if (reader_)
        reader_->requestStop();
    if (writer_)
        writer_->requestStop();
    if (reader_ || writer_)
        owner_->retire(std::move(reader_), std::move(writer_));
}

} // namespace kvt
