#pragma once

#include "link/ByteReader.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <array>
#include <functional>

class QLineEdit;
class QTabWidget;
class QWidget;

namespace kvt {

struct AppContext;
class TJvHidDevice;

// One input report as the handlers see it: the response, operation code first, zero-filled to at
// least 64 bytes.
struct Response {
    QByteArray data;

    quint8 code() const { return data.isEmpty() ? 0 : quint8(data[0]); }
    ByteReader bytes() const { return ByteReader(data); }
};

// Framing of commands into output reports, the 200 ms poll and the dispatch of input reports by
// their operation code to the handlers the pages register.
class Transport : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<void(const Response&)>;

    // The controls the poll looks at.
    struct PollView {
        QPointer<QTabWidget> pages;
        QPointer<QWidget> controlPage;   // polled with 97
        QPointer<QWidget> programPage;   // polled with 31
        QPointer<QLineEdit> rxIndicator; // switched off on every tick
    };

    explicit Transport(AppContext& context, QObject* parent = nullptr);

    void setPollView(const PollView& view) { poll_ = view; }

    // Sends one command (operation code first, at most 255 bytes) to the active device as one
    // output report: report ID 1, the command, zeros up to the device's output report length.
    // Does nothing while not connected. Bytes a command does not assign are sent as zeros.
    void SendData(const QByteArray& command);
    void SendData(const quint8* bytes, int count);
    void SendCode(quint8 code) { SendData(&code, 1); }

    // The poll: 97 on the Control page, 31 on the Program page, nothing elsewhere; the Modbus
    // receive indicator goes back to normal on every tick.
    void DataTimerTimer();

    // The data handler of the active device.
    void ReceiveData(TJvHidDevice* device, quint8 reportId, const QByteArray& data);

    // Reads a number from `field`, clamps it to [low, high], writes it back as general(5, 4) and
    // sends `code` followed by the value as a little-endian single. Returns false (after the
    // invalid-entry reaction) when the field does not hold a number.
    bool SetParam(QLineEdit* field, quint8 code, float low, float high);

    // Each page registers the responses it owns; a code has one handler.
    void registerResponse(quint8 code, Handler handler);
    bool handles(quint8 code) const { return bool(handlers_[code]); }

    // Data bytes 1..4 of the report being handled.
    qint32 reportWordInt() const { return ReportWord.i32le(0); }
    float reportWordFloat() const { return ReportWord.f32le(0); }

private:
    void registerAcknowledgements();

    AppContext& context_;
    PollView poll_;
    std::array<Handler, 256> handlers_;
    ByteReader ReportWord{QByteArray(4, '\0')};
};

// Builds the output report of `command` for a device whose output reports are `reportLength`
// bytes long (report ID included): ID 1, the command cut to fit, zeros after it.
QByteArray frameOutputReport(const QByteArray& command, int reportLength);

} // namespace kvt
