// SPDX-License-Identifier: GPL-3.0-or-later
#include "uhid/VirtualDevice.h"

#include "sim/SimBackend.h"
#include "uhid/UhidReport.h"

#include <QSocketNotifier>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/input.h>
#include <linux/uhid.h>
#include <unistd.h>

namespace kvt::uhid {

namespace {

// What the simulated controller takes in one write: its own output report length.
constexpr int SimReportLength = 65;
constexpr int InputDataBytes = 64;

void copyText(char* target, std::size_t capacity, const QString& text) {
    const QByteArray bytes = text.toUtf8().left(int(capacity) - 1);
    std::memcpy(target, bytes.constData(), std::size_t(bytes.size()));
    target[bytes.size()] = '\0';
}

} // namespace

std::optional<QString> uhidProblem(const char* path) {
    const int fd = ::open(path, O_RDWR | O_CLOEXEC);
    if (fd >= 0) {
        ::close(fd);
        return std::nullopt;
    }
    const int error = errno;
    if (error == ENOENT)
        return QStringLiteral("%1 does not exist: load the kernel's uhid module (modprobe uhid) on a "
                              "Linux system with HID support")
            .arg(QString::fromLocal8Bit(path));
    if (error == EACCES || error == EPERM)
        return QStringLiteral("%1 cannot be opened for writing (%2): run as root, or give your user "
                              "read and write access to it")
            .arg(QString::fromLocal8Bit(path), QString::fromLocal8Bit(std::strerror(error)));
    return QStringLiteral("%1 cannot be opened: %2")
        .arg(QString::fromLocal8Bit(path), QString::fromLocal8Bit(std::strerror(error)));
}

VirtualDevice::VirtualDevice(sim::SimBackend& backend, int simId, int outputLength, QObject* parent)
    : QObject(parent), backend_(backend), simId_(simId), outputLength_(outputLength) {}

VirtualDevice::~VirtualDevice() {
    unplug();
}

QString VirtualDevice::product() const {
    return backend_.info(simId_).product;
}

QString VirtualDevice::serial() const {
    return backend_.info(simId_).serial;
}

bool VirtualDevice::sendEvent(const void* event, std::size_t size) {
    return fd_ >= 0 && ::write(fd_, event, size) == ssize_t(size);
}

std::optional<QString> VirtualDevice::plug() {
    if (isPlugged())
        return std::nullopt;
    if (everPlugged_)
        backend_.replug(simId_);
    const HidDeviceInfo info = backend_.info(simId_);

    fd_ = ::open("/dev/uhid", O_RDWR | O_CLOEXEC | O_NONBLOCK);
    if (fd_ < 0)
        return uhidProblem();

    const QByteArray descriptor = controllerDescriptor(InputDataBytes, outputLength_ - 1);
    uhid_event create{};
    create.type = UHID_CREATE2;
    copyText(reinterpret_cast<char*>(create.u.create2.name), sizeof create.u.create2.name, info.product);
    copyText(reinterpret_cast<char*>(create.u.create2.phys), sizeof create.u.create2.phys,
             QStringLiteral("kvt-virtual-controller/%1").arg(simId_));
    copyText(reinterpret_cast<char*>(create.u.create2.uniq), sizeof create.u.create2.uniq, info.serial);
    create.u.create2.rd_size = quint16(descriptor.size());
    create.u.create2.bus = BUS_USB;
    create.u.create2.vendor = info.vendorId;
    create.u.create2.product = info.productId;
    create.u.create2.version = 0x0100;
    std::memcpy(create.u.create2.rd_data, descriptor.constData(), std::size_t(descriptor.size()));
    if (!sendEvent(&create, sizeof create)) {
        const QString error = QStringLiteral("creating the device failed: %1")
                                  .arg(QString::fromLocal8Bit(std::strerror(errno)));
        ::close(fd_);
        fd_ = -1;
        return error;
    }
    everPlugged_ = true;
    outputReports_ = 0;
    firstCode_ = -1;
    inputReports_ = 0;
    handle_ = backend_.open(info.path, info.instance);
    notifier_ = new QSocketNotifier(fd_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &VirtualDevice::onUhidEvent);
    return std::nullopt;
}

void VirtualDevice::unplug() {
    if (!isPlugged())
        return;
    delete notifier_;
    notifier_ = nullptr;
    handle_.reset();
    backend_.unplug(simId_);
    uhid_event destroy{};
    destroy.type = UHID_DESTROY;
    sendEvent(&destroy, sizeof destroy);
    ::close(fd_);
    fd_ = -1;
}

void VirtualDevice::setMuted(bool muted) {
    sim::Faults faults;
    faults.silent = muted;
    backend_.setFaults(simId_, faults);
}

void VirtualDevice::onUhidEvent() {
    for (;;) {
        uhid_event event{};
        const ssize_t n = ::read(fd_, &event, sizeof event);
        if (n <= 0)
            return; // EAGAIN: nothing more for now
        switch (event.type) {
        case UHID_OUTPUT: {
            if (event.u.output.rtype != UHID_OUTPUT_REPORT || event.u.output.size == 0)
                break;
            ++outputReports_;
            if (firstCode_ < 0 && event.u.output.size > 1)
                firstCode_ = event.u.output.data[1];
            // A report longer than a controller's is cut to its length; the rest would be zeros.
            const int length = std::min(int(event.u.output.size), SimReportLength);
            if (handle_)
                handle_->write(event.u.output.data, length);
            forwardInput();
            break;
        }
        case UHID_GET_REPORT: {
            // The controller has no feature reports: refuse at once instead of letting the
            // kernel wait for its time-out.
            uhid_event reply{};
            reply.type = UHID_GET_REPORT_REPLY;
            reply.u.get_report_reply.id = event.u.get_report.id;
            reply.u.get_report_reply.err = EIO;
            sendEvent(&reply, sizeof reply);
            break;
        }
        case UHID_SET_REPORT: {
            uhid_event reply{};
            reply.type = UHID_SET_REPORT_REPLY;
            reply.u.set_report_reply.id = event.u.set_report.id;
            reply.u.set_report_reply.err = EIO;
            sendEvent(&reply, sizeof reply);
            break;
        }
        default: // start, stop, open, close: nothing to do
            break;
        }
    }
}

void VirtualDevice::forwardInput() {
    if (!handle_)
        return;
    quint8 report[SimReportLength];
    for (;;) {
        const int n = handle_->read(report, int(sizeof report), 0);
        if (n <= 0)
            return;
        uhid_event input{};
        input.type = UHID_INPUT2;
        input.u.input2.size = quint16(n);
        std::memcpy(input.u.input2.data, report, std::size_t(n));
        if (sendEvent(&input, sizeof input))
            ++inputReports_;
    }
}

} // namespace kvt::uhid
