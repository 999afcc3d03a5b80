#include "link/TJvHidDevice.h"

#include "link/TJvHidDeviceController.h"

#include <QPointer>

namespace kvt {

TJvHidDevice::TJvHidDevice(TJvHidDeviceController* owner, HidDeviceInfo info)
    : QObject(owner), owner_(owner), info_(std::move(info)), sleepMs_(owner->DevThreadSleepTime) {}

TJvHidDevice::~TJvHidDevice() {
    stopIo();
}

void TJvHidDevice::setThreadSleepTime(int ms) {
    if (ms >= 10 && ms <= 10000)
        sleepMs_ = ms;
}

void TJvHidDevice::setDataHandler(TJvHidDataEvent handler) {
    handler_ = std::move(handler);
    if (!handler_) {
        stopReader(); // commands already queued still go out
        return;
    }
    if (!reader_ && checkedOut_ && pluggedIn_ && info_.access)
        startReader();
}

void TJvHidDevice::startReader() {
    ++generation_;
    const quint64 generation = generation_;
    QPointer<TJvHidDevice> self(this);
    IoCounter pending = owner_->ioPending_;
    std::shared_ptr<TJvHidDeviceController::Mailbox> mailbox = owner_->mailbox_;
    TJvHidDeviceReadThread::Callbacks callbacks;
    // Runs on the reader's thread: the report is queued to the user-interface thread, in order,
    // tagged with the generation it was read under.
    callbacks.deliver = [self, mailbox, generation, pending](QByteArray report) {
        ++*pending;
        const bool posted = mailbox->post([self, generation, pending, report = std::move(report)] {
            --*pending;
            if (self)
                self->deliver(generation, report);
        });
        if (!posted)
            --*pending;
    };
    TJvHidDeviceController* owner = owner_;
    callbacks.failed = [mailbox, owner] { mailbox->post([owner] { owner->requestRescan(); }); };
    readerReady_ = std::make_shared<ReadyGate>();
    reader_ = std::make_unique<TJvHidDeviceReadThread>(owner_->backend(), info_.path, info_.inputReportLength,
                                                       sleepMs_, std::move(callbacks), readerReady_);
}

void TJvHidDevice::deliver(quint64 generation, const QByteArray& report) {
    if (generation != generation_ || !reader_ || !handler_ || report.isEmpty())
        return;
    handler_(this, quint8(report[0]), report.mid(1));
}

bool TJvHidDevice::writeReport(const QByteArray& report) {
    if (!pluggedIn_ || !info_.access)
        return false;
    if (!writer_)
        writer_ = std::make_unique<HidWriteThread>(owner_->backend(), info_.path, owner_->ioPending_);
    writer_->queue(report, reader_ ? readerReady_ : nullptr);
    return true;
}

void TJvHidDevice::stopReader() {
    if (!reader_)
        return;
    ++generation_;
    reader_->requestStop();
    owner_->retire(std::move(reader_), nullptr);
}

void TJvHidDevice::stopIo() {
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
