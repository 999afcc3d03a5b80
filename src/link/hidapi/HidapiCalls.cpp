// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/hidapi/HidapiCalls.h"

#include <hidapi.h>
#include <mutex>

#ifdef __APPLE__
#include <hidapi_darwin.h>
#endif

namespace kvt {

namespace {

// The library keeps one unguarded error text per process, replaced by enumeration, opening and
// closing: those calls run under this lock. Reads and writes touch only their own device.
std::mutex& libraryMutex() {
    static std::mutex m;
    return m;
}

int libraryUsers = 0; // guarded by libraryMutex(); the library is initialised while it is above 0

QString fromWide(const wchar_t* text) {
    return text ? QString::fromWCharArray(text) : QString();
}

// USB string descriptors hold at most 126 characters; the rest of the room is for the terminator.
constexpr std::size_t StringRoom = 256;

class SystemHidapi;

class SystemDevice final : public HidapiDevice {
public:
    SystemDevice(std::shared_ptr<SystemHidapi> library, hid_device* device)
        : library_(std::move(library)), device_(device) {}
    ~SystemDevice() override {
        std::lock_guard lock(libraryMutex());
        hid_close(device_);
    }
    SystemDevice(const SystemDevice&) = delete;
    SystemDevice& operator=(const SystemDevice&) = delete;

    int readTimeout(quint8* buffer, int capacity, int timeoutMs) override {
        return hid_read_timeout(device_, buffer, static_cast<size_t>(capacity), timeoutMs);
    }
    int write(const quint8* data, int length) override {
        return hid_write(device_, data, static_cast<size_t>(length));
    }
    std::optional<QString> productString() override {
        wchar_t text[StringRoom] = {};
        if (hid_get_product_string(device_, text, StringRoom) != 0)
            return std::nullopt;
        return fromWide(text);
    }
    std::optional<QString> serialNumber() override {
        wchar_t text[StringRoom] = {};
        if (hid_get_serial_number_string(device_, text, StringRoom) != 0)
            return std::nullopt;
        return fromWide(text);
    }

private:
    std::shared_ptr<SystemHidapi> library_; // released only after the device is closed
    hid_device* device_;
};

class SystemHidapi final : public HidapiCalls, public std::enable_shared_from_this<SystemHidapi> {
public:
    SystemHidapi() {
        std::lock_guard lock(libraryMutex());
        if (libraryUsers++ == 0) {
            hid_init();
#ifdef __APPLE__
            // On macOS the library seizes every device it opens unless told otherwise, and each
            // connected device is open twice (its reader and its writer).
            hid_darwin_set_open_exclusive(0);
#endif
        }
    }
    ~SystemHidapi() override {
        std::lock_guard lock(libraryMutex());
        if (--libraryUsers == 0)
            hid_exit();
    }
    SystemHidapi(const SystemHidapi&) = delete;
    SystemHidapi& operator=(const SystemHidapi&) = delete;

    QList<HidapiListing> enumerate() override {
        QList<HidapiListing> listed;
        std::lock_guard lock(libraryMutex());
        hid_device_info* const first = hid_enumerate(0, 0);
        for (const hid_device_info* info = first; info; info = info->next) {
            HidapiListing entry;
            entry.path = QByteArray(info->path ? info->path : "");
            entry.vendorId = info->vendor_id;
            entry.productId = info->product_id;
            entry.product = fromWide(info->product_string);
            entry.serial = fromWide(info->serial_number);
            listed.append(entry);
        }
        hid_free_enumeration(first);
        return listed;
    }

    std::unique_ptr<HidapiDevice> openPath(const QByteArray& path) override {
        hid_device* device = nullptr;
        {
            std::lock_guard lock(libraryMutex());
            device = hid_open_path(path.constData());
        }
        if (!device)
            return nullptr;
        return std::make_unique<SystemDevice>(shared_from_this(), device);
    }
};

} // namespace

std::shared_ptr<HidapiCalls> systemHidapi() {
    return std::make_shared<SystemHidapi>();
}

int systemHidapiUsers() {
    std::lock_guard lock(libraryMutex());
    return libraryUsers;
}

} // namespace kvt
