#include "link/Transport.h"

#include "assist/Colors.h"
#include "assist/DialogService.h"
#include "assist/StatusBar.h"
#include "format/InvalidEntry.h"
#include "format/core/NumberFormat.h"
#include "link/AppContext.h"
#include "link/TJvHidDevice.h"

#include <QLineEdit>
#include <QTabWidget>
#include <algorithm>

namespace kvt {

QByteArray frameOutputReport(const QByteArray& command, int reportLength) {
    const int length = std::max(reportLength, 1);
    QByteArray report(length, '\0');
    report[0] = 1;
    const int count = std::min(int(command.size()), length - 1);
    std::copy_n(command.constData(), count, report.data() + 1);
    return report;
}

Transport::Transport(AppContext& context, QObject* parent) : QObject(parent), context_(context) {
    registerAcknowledgements();
}

void Transport::SendData(const quint8* bytes, int count) {
    SendData(QByteArray(reinterpret_cast<const char*>(bytes), count));
}

void Transport::SendData(const QByteArray& command) {
    if (!context_.state.connected() || !context_.state.ActiveDevice || command.isEmpty())
        return;
    const QByteArray cut = command.left(255);
    auto& buffer = context_.state.CommandBuffer;
    buffer.fill(0);
    std::copy_n(cut.constData(), std::min<qsizetype>(cut.size(), qsizetype(buffer.size())), buffer.begin());
    TJvHidDevice* device = context_.state.ActiveDevice;
    device->writeReport(frameOutputReport(cut, device->outputReportLength()));
}

void Transport::DataTimerTimer() {
    if (!context_.state.connected())
        return;
    QWidget* current = poll_.pages ? poll_.pages->currentWidget() : nullptr;
    if (current && current == poll_.controlPage)
        SendCode(97);
    else if (current && current == poll_.programPage)
        SendCode(31);
    if (poll_.rxIndicator && background(poll_.rxIndicator) == colors::ModbusRx)
        resetBackground(poll_.rxIndicator);
}

void Transport::ReceiveData(TJvHidDevice*, quint8, const QByteArray& data) {
    // Handlers read fixed positions: the report reaching here is already zero-filled, and is
    // padded again in case a caller hands in a short one.
    Response response{data};
    if (response.data.size() < 64)
        response.data.append(64 - response.data.size(), '\0');
    ReportWord = ByteReader(response.data.mid(1, 4));
    if (const Handler& handler = handlers_[response.code()])
        handler(response);
}

void Transport::registerResponse(quint8 code, Handler handler) {
    handlers_[code] = std::move(handler);
}

bool Transport::SetParam(QLineEdit* field, quint8 code, float low, float high) {
    restoreEntryBackground(field);
    const std::optional<double> entry = fmt::readDecimal(field->text());
    if (!entry) {
        showInvalidEntry(field, *context_.dialogs, *context_.texts);
        return false;
    }
    float value = float(*entry);
    if (value > high)
        value = high;
    if (value < low)
        value = low;
    field->setText(fmt::general(double(value), 5, 4));
    SendData(ByteWriter().u8(code).f32le(value).data());
    return true;
}

void Transport::registerAcknowledgements() {
    struct Ack {
        quint8 code;
        const char* status;
        const char* boxText; // null: no box
        const char* boxCaption;
        QList<quint8> afterwards; // commands sent once the box is closed
    };
    const QList<Ack> acks = {
        {151, "IDS_68", nullptr, nullptr, {}},     {152, "IDS_69", nullptr, nullptr, {}},
        {153, "IDS_71", nullptr, nullptr, {}},     {162, "IDS_49", nullptr, nullptr, {}},
        {214, "IDS_72", "IDS_72", "IDS_55", {}},   {220, "IDS_56", "IDS_56", "IDS_55", {}},
        {221, "IDS_65", "IDS_65", "IDS_55", {99}}, {222, "IDS_53", "IDS_54", "IDS_55", {}},
        {223, "IDS_62", "IDS_63", "IDS_55", {}},   {224, "IDS_59", "IDS_59", "IDS_55", {}},
        {226, "IDS_75", "IDS_75", "IDS_55", {}},   {234, "IDS_78", nullptr, nullptr, {}},
        {235, "IDS_79", "IDS_80", "IDS_81", {}},   {236, "IDS_82", "IDS_83", "IDS_84", {100, 99}},
    };
    for (const Ack& ack : acks) {
        registerResponse(ack.code, [this, ack](const Response&) {
            // Texts are looked up when the acknowledgement arrives, in the language of that moment.
            context_.statusBar->setPanelText(0, context_.text(QLatin1String(ack.status)));
            if (!ack.boxText)
                return;
            QPointer<Transport> self(this);
            const QList<quint8> afterwards = ack.afterwards;
            context_.dialogs->message(context_.mainWindow, DialogService::Icon::Information,
                                      context_.text(QLatin1String(ack.boxText)),
                                      context_.text(QLatin1String(ack.boxCaption)),
                                      DialogService::Buttons::Ok, [self, afterwards](bool) {
                                          if (!self)
                                              return;
                                          for (quint8 code : afterwards)
                                              self->SendCode(code);
                                      });
        });
    }
}

} // namespace kvt
