#include "link/Connection.h"

#include "assist/Colors.h"
#include "assist/StatusBar.h"
#include "link/AppContext.h"
#include "link/TJvHidDevice.h"
#include "link/TJvHidDeviceController.h"
#include "link/Transport.h"

#include <QLineEdit>
#include <QListWidget>
#include <QTimer>

namespace kvt {

Connection::Connection(AppContext& context, TJvHidDeviceController& controller, View view, QObject* parent)
    : QObject(parent), context_(context), controller_(controller), view_(std::move(view)) {
    controller_.setOnEnumerate(
        [this](TJvHidDevice* device, int index) { return JvHidDeviceController1Enumerate(device, index); });
    connect(&controller_, &TJvHidDeviceController::deviceChange, this,
            &Connection::JvHidDeviceController1DeviceChange);
}

bool Connection::isSupportedModel(const QString& productString) {
    return productString == QLatin1String("KVT318") || productString == QLatin1String("KVT317") ||
           productString == QLatin1String("PXA-KVT");
}

void Connection::showDisconnected() {
    context_.statusBar->setPanelText(1, context_.text(QStringLiteral("IDS_16")));
    if (view_.TextStatus) {
        view_.TextStatus->setText(context_.text(QStringLiteral("IDS_17")));
        setBackground(view_.TextStatus, colors::Error);
    }
    context_.state.Connected = 0;
    if (view_.DataTimer)
        view_.DataTimer->stop();
}

void Connection::showConnected() {
    const QString text = context_.text(QStringLiteral("IDS_20")) + context_.state.ModelName;
    context_.statusBar->setPanelText(1, text);
    if (view_.TextStatus) {
        view_.TextStatus->setText(text);
        setBackground(view_.TextStatus, colors::Connected);
    }
}

bool Connection::JvHidDeviceController1Enumerate(TJvHidDevice* device, int index) {
    const QString entry = device->productName().isEmpty()
                              ? QString::asprintf("Device VID=%04X PID=%04X", unsigned(device->vendorId()),
                                                  unsigned(device->productId()))
                              : device->productName();
    entries_.append(entry);
    if (view_.ListBox1)
        view_.ListBox1->addItem(entry);
    listed_.append(controller_.CheckOutByIndex(index));
    showDisconnected();
    return true;
}

void Connection::JvHidDeviceController1DeviceChange() {
    for (TJvHidDevice* device : std::as_const(listed_)) {
        if (device)
            controller_.CheckIn(device);
    }
    listed_.clear();
    entries_.clear();
    context_.state.ActiveDevice = nullptr;
    if (view_.ListBox1)
        view_.ListBox1->clear();

    controller_.Enumerate();

    if (listed_.isEmpty()) {
        showDisconnected();
        return;
    }
    for (int i = 0; i < listed_.size(); ++i) {
        TJvHidDevice* device = listed_[i];
        const QString& entry = entries_[i];
        if (!device || !isSupportedModel(entry))
            continue;
        // Only the newest active device keeps a data handler, so the screen never mixes the
        // reports of one controller with commands sent to another.
        if (context_.state.ActiveDevice && context_.state.ActiveDevice != device)
            context_.state.ActiveDevice->setDataHandler({});
        context_.state.ActiveDevice = device;
        if (device->hasReadWriteAccess()) {
            context_.state.ModelName = entry;
            Transport* transport = context_.transport;
            device->setDataHandler([transport](TJvHidDevice* d, quint8 id, const QByteArray& data) {
                transport->ReceiveData(d, id, data);
            });
            showConnected();
            context_.state.Connected = 255;
            if (view_.DataTimer)
                view_.DataTimer->start();
            for (const QPointer<QWidget>& page : std::as_const(view_.pagesToEnable)) {
                if (page)
                    page->setEnabled(true);
            }
            transport->SendCode(100);
            transport->SendCode(99);
            if (ApplyModelProfile)
                ApplyModelProfile();
        } else {
            device->setDataHandler({});
            showDisconnected();
        }
    }
}

void Connection::btn_ReconnectClick() {
    context_.transport->SendCode(100);
    context_.transport->SendCode(99);
}

} // namespace kvt
