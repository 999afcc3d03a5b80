#include "link/hidraw/HidrawBackend.h"

#include "link/hidraw/HidrawHandle.h"
#include "link/hidraw/UdevMonitor.h"

#include <QFile>
#include <algorithm>
#include <hidapi.h>
#include <mutex>

namespace kvt {

namespace {

// hidapi keeps its last global error in an unguarded static that enumeration and opening replace,
// so those calls are serialised across threads; initialisation is shared by all backends.
std::mutex hidapiMutex;
int hidapiUsers = 0;

constexpr int BurstMs = 75;
constexpr int TickMs = 1000;
constexpr int FallbackReportLength = 65;

// Present while udev runs; a udev monitor opened without it is accepted but never delivers.
const char* const UdevControlSocket = "/run/udev/control";

QString fromWide(const wchar_t* text) {
    return text ? QString::fromWCharArray(text) : QString();
}

} // namespace

HidrawBackend::HidrawBackend(QObject* parent) : HidBackend(parent) {
    {
        std::lock_guard lock(hidapiMutex);
        if (hidapiUsers++ == 0)
            hid_init();
    }
    m_burst.setSingleShot(true);
    m_burst.setInterval(BurstMs);
    connect(&m_burst, &QTimer::timeout, this, &HidBackend::devicesChanged);
    m_tick.setInterval(TickMs);
    connect(&m_tick, &QTimer::timeout, this, &HidrawBackend::onTick);
}

HidrawBackend::~HidrawBackend() {
    std::lock_guard lock(hidapiMutex);
    if (--hidapiUsers == 0)
        hid_exit();
}

QList<HidDeviceInfo> HidrawBackend::scan() const {
    QList<HidDeviceInfo> listed;
    {
        std::lock_guard lock(hidapiMutex);
        hid_device_info* const first = hid_enumerate(0, 0);
        for (const hid_device_info* info = first; info; info = info->next) {
            HidDeviceInfo device;
            device.path = QFile::decodeName(info->path);
            device.vendorId = info->vendor_id;
            device.productId = info->product_id;
            device.product = fromWide(info->product_string);
            listed.append(device);
        }
        hid_free_enumeration(first);
    }

    QList<HidDeviceInfo> present;
    for (HidDeviceInfo& device : uniqueByPath(listed)) {
        const NodeAccess access = checkNodeAccess(device.path);
        const std::optional<quint32> instance = m_sysfs.instance(device.path);
        // A node that is gone, or whose device the kernel no longer describes, has been unplugged.
        if (access == NodeAccess::Missing || !instance)
            continue;
        device.access = access == NodeAccess::ReadWrite;
        device.instance = *instance;
        present.append(device);
    }
    return present;
}

QList<HidDeviceInfo> HidrawBackend::enumerate() {
    QList<HidDeviceInfo> devices = scan();
    for (HidDeviceInfo& device : devices) {
        const std::optional<ReportLayout> layout = m_sysfs.reportLayout(device.path);
        device.inputReportLength = layout ? layout->inputReportLength : FallbackReportLength;
        device.outputReportLength = layout ? layout->outputReportLength : FallbackReportLength;
    }
    remember(devices);
    return devices;
}

std::unique_ptr<HidHandle> HidrawBackend::open(const QString& path, quint32 instance) {
    if (!m_sysfs.isHidrawNode(path) || m_sysfs.instance(path) != instance)
        return nullptr;
    hid_device* device = nullptr;
    {
        std::lock_guard lock(hidapiMutex);
        device = hid_open_path(QFile::encodeName(path).constData());
    }
    if (!device)
        return nullptr;
    // Checked again once open: the node may have passed to another device in between.
    if (m_sysfs.instance(path) != instance) {
        std::lock_guard lock(hidapiMutex);
        hid_close(device);
        return nullptr;
    }
    // Read again rather than remembered from the last scan: a replugged device may reuse the path.
    // Without a readable descriptor the device is taken for the common kind without report IDs,
    // which matches the 65-byte lengths assumed then.
    const std::optional<ReportLayout> layout = m_sysfs.reportLayout(path);
    return std::make_unique<HidrawHandle>(device, layout && layout->usesReportIds);
}

void HidrawBackend::startMonitoring() {
    if (m_monitoring)
        return;
    m_monitoring = true;
    if (QFile::exists(QString::fromLatin1(UdevControlSocket))) {
        auto* monitor = new UdevMonitor("hidraw", this);
        if (monitor->isValid()) {
            m_udev = monitor;
            connect(m_udev, &UdevMonitor::deviceEvent, this, [this] {
                if (!m_burst.isActive())
                    m_burst.start();
            });
        } else {
            delete monitor;
        }
    }
    if (!m_lastSeen)
        remember(scan());
    m_tick.start();
}

QList<HidrawBackend::Presence> HidrawBackend::presenceOf(const QList<HidDeviceInfo>& devices) {
    QList<Presence> presence;
    for (const HidDeviceInfo& device : devices)
        presence.append({device.path, device.instance, device.access});
    std::sort(presence.begin(), presence.end(),
              [](const Presence& a, const Presence& b) { return a.path < b.path; });
    return presence;
}

void HidrawBackend::remember(const QList<HidDeviceInfo>& devices) {
    m_lastSeen = presenceOf(devices);
    m_waitingForAccess.clear();
    for (const HidDeviceInfo& device : devices) {
        if (!device.access)
            m_waitingForAccess.append(device.path);
    }
}

void HidrawBackend::onTick() {
    if (!m_udev) {
        // No udev events: compare the device set with the last one seen.
        const QList<HidDeviceInfo> devices = scan();
        const QList<Presence> presence = presenceOf(devices);
        if (presence != m_lastSeen) {
            remember(devices);
            emit devicesChanged();
        }
        return;
    }
    // Permissions may be granted a moment after the device appeared, with no further event.
    const qsizetype waiting = m_waitingForAccess.size();
    m_waitingForAccess.removeIf(
        [](const QString& path) { return checkNodeAccess(path) == NodeAccess::ReadWrite; });
    if (m_waitingForAccess.size() != waiting)
        emit devicesChanged();
}

} // namespace kvt
