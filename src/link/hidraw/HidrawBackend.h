#pragma once

#include "link/HidBackend.h"
#include "link/hidraw/HidrawSysfs.h"

#include <QStringList>
#include <QTimer>
#include <optional>

namespace kvt {

class UdevMonitor;

// The HID backend on Linux: hidraw devices through the HID library (hidapi), report sizes from the
// kernel's copy of each report descriptor, device changes from udev or, where udev does not run, by
// polling. All handles must be closed before the backend is destroyed.
class HidrawBackend : public HidBackend {
    Q_OBJECT
public:
    explicit HidrawBackend(QObject* parent = nullptr);
    ~HidrawBackend() override;

    QList<HidDeviceInfo> enumerate() override;
    std::unique_ptr<HidHandle> open(const QString& path, quint32 instance) override;
    void startMonitoring() override;

private:
    // What decides whether the device set changed: path, instance and access of every device.
    struct Presence {
        QString path;
        quint32 instance;
        bool access;
        bool operator==(const Presence&) const = default;
    };

    // The devices present, without report sizes (cheap enough to run every second).
    QList<HidDeviceInfo> scan() const;
    static QList<Presence> presenceOf(const QList<HidDeviceInfo>& devices);
    void remember(const QList<HidDeviceInfo>& devices);
    void onTick();

    HidrawSysfs m_sysfs;
    UdevMonitor* m_udev = nullptr;
    QTimer m_burst; // merges a burst of udev events into one notification
    QTimer m_tick;  // polling, and re-checking devices listed without access
    bool m_monitoring = false;
    std::optional<QList<Presence>> m_lastSeen;
    QStringList m_waitingForAccess;
};

} // namespace kvt
