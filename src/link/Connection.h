#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <functional>

class QLineEdit;
class QListWidget;
class QTimer;
class QWidget;

namespace kvt {

struct AppContext;
class TJvHidDevice;
class TJvHidDeviceController;

// The main window's side of the device link: it lists the HID devices in ListBox1 on every
// device change, connects the supported controller it finds and shows the connection state.
class Connection : public QObject {
    Q_OBJECT
public:
    struct View {
        QPointer<QLineEdit> TextStatus;
        QPointer<QListWidget> ListBox1;
        QPointer<QTimer> DataTimer;
        QList<QPointer<QWidget>> pagesToEnable; // Control, Configuration, RS485, Program
    };

    Connection(AppContext& context, TJvHidDeviceController& controller, View view, QObject* parent = nullptr);

    // Adapts the window to the connected model; runs after the two initial requests.
    std::function<void()> ApplyModelProfile;

    bool JvHidDeviceController1Enumerate(TJvHidDevice* device, int index);
    void JvHidDeviceController1DeviceChange();
    void btn_ReconnectClick();

    // The devices attached to the entries of ListBox1, in the same order (null where the
    // check-out failed).
    const QList<TJvHidDevice*>& listedDevices() const { return listed_; }

    static bool isSupportedModel(const QString& productString);

private:
    void showDisconnected();
    void showConnected();

    AppContext& context_;
    TJvHidDeviceController& controller_;
    View view_;
    QList<TJvHidDevice*> listed_;
    QStringList entries_; // the texts of ListBox1's entries
};

} // namespace kvt
