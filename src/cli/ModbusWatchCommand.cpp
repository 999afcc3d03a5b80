// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/ModbusWatchCommand.h"

#include "assist/core/TextStoreFile.h"
#include "cli/Options.h"
#include "link/OpCode.h"
#include "modbus/core/Capture.h"
#include "modbus/core/Crc.h"
#include "modbus/core/FramePreview.h"
#include "modbus/core/UserRegisters.h"

#include <QDateTime>
#include <QJsonArray>
#include <limits>

namespace kvt::cli {

namespace {

// A watch waits for frames as long as it runs: a quiet bus is no failure.
constexpr int WatchTimeoutMs = std::numeric_limits<int>::max();

} // namespace

modbus::DecodeTexts decodeTexts(const Texts& tr) {
    // The keyed texts of the main window's store, built into the tool (see CMakeLists.txt).
    const KeyedTexts texts(QStringLiteral(":/cli/TForm1.tsv"));
    const bool english = tr.language() == Language::English;
    return modbus::DecodeTexts::fromLookup([&texts, english](const QString& key) {
        return texts.contains(key) ? texts.text(key, english) : key;
    });
}

QJsonObject modbusFrameJson(qint64 msecs, const QByteArray& bytes, const modbus::DecodedFrame* f,
                            const QString& text) {
    QJsonObject o{{QStringLiteral("time"), modbus::captureTime(msecs)},
                  {QStringLiteral("bytes"), modbus::hexBytes(bytes)}};
    if (bytes.size() >= 4)
        o.insert(QStringLiteral("crcOk"), modbus::modbusCrc(bytes) == 0);
    if (!f)
        return o;
    const auto put = [&o](const char* key, int value) {
        if (value >= 0)
            o.insert(QLatin1String(key), value);
    };
    put("slave", f->slave);
    put("function", f->function);
    o.insert(QStringLiteral("kind"), modbus::kindToken(f->kind));
    o.insert(QStringLiteral("lengthOk"), f->lengthOk);
    put("start", f->start);
    put("count", f->count);
    put("byteCount", f->byteCount);
    put("subFunction", f->subFunction);
    put("exception", f->exceptionCode);
    if (!f->words.isEmpty()) {
        QJsonArray words;
        for (const quint16 w : f->words)
            words.append(int(w));
        o.insert(QStringLiteral("values"), words);
    }
    if (!f->bits.isEmpty())
        o.insert(QStringLiteral("bits"), modbus::hexBytes(f->bits));
    const QList<modbus::RegisterPairValue> pairs = modbus::userRegisterPairs(*f);
    if (!pairs.isEmpty()) {
        QJsonArray userRegisters;
        for (const modbus::RegisterPairValue& pair : pairs)
            userRegisters.append(QJsonObject{{QStringLiteral("register"), pair.firstRegister},
                                             {QStringLiteral("real"), double(std::bit_cast<float>(pair.value))},
                                             {QStringLiteral("dword"), qint64(qint32(pair.value))}});
        o.insert(QStringLiteral("userRegisters"), userRegisters);
    }
    o.insert(QStringLiteral("text"), text);
    return o;
}

ModbusWatchCommand::ModbusWatchCommand(Session& session, ArgReader& args) : Command(session) {
    decode_ = args.flag({QStringLiteral("--decode"), QStringLiteral("-d")});
    if (!args.positionals().isEmpty())
        args.setError(tr_("modbus watch takes no arguments", "modbus watch nie przyjmuje argumentów"));
    if (decode_)
        texts_ = decodeTexts(tr_);
}

void ModbusWatchCommand::start(ControllerLink* link, std::optional<Model>) {
    link_ = link;
    link->send(modbus::encodePreviewMode(modbus::PreviewMode::Frames));
    link->await(
        tr_("watching the Modbus frames (87)", "podglądu ramek Modbus (87)"),
        [this](const Response& report) {
            if (report.code() != op::ModbusFrame)
                return ControllerLink::Take::Ignore;
            showFrame(report);
            return ControllerLink::Take::Progress;
        },
        [](const Response&) {}, WatchTimeoutMs);
}

void ModbusWatchCommand::showFrame(const Response& response) {
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    const QByteArray bytes = modbus::frameBytes(response.data);
    ++frames_;
    if (bytes.size() >= 4 && modbus::modbusCrc(bytes) != 0)
        ++badCrc_;
    QString line = QDateTime::fromMSecsSinceEpoch(now).toString(QStringLiteral("HH:mm:ss.zzz")) +
                   QStringLiteral("  ") + modbus::hexBytes(bytes);
    if (!decode_) {
        out().line(line);
        report(modbusFrameJson(now, bytes, nullptr, {}));
        return;
    }
    const modbus::DecodedFrame frame = decoder_.decode(bytes);
    const QString text = modbus::describe(frame, texts_, modbus::RegisterView::Real);
    out().line(line + QStringLiteral("  ->>  ") + text);
    report(modbusFrameJson(now, bytes, &frame, text));
}

void ModbusWatchCommand::interrupt() {
    if (!link_ || stopping_) {
        Command::interrupt();
        return;
    }
    // Watching ends by being interrupted: the preview goes off, and once the controller has
    // answered a command sent after that one, so the switch is surely out, the counts are shown.
    // Frames reported before that answer are still shown.
    stopping_ = true;
    link_->cancel();
    link_->send(modbus::encodePreviewMode(modbus::PreviewMode::Off));
    link_->send(QByteArray(1, char(op::LiveStatus)));
    link_->await(
        tr_("switching the Modbus preview off (216)", "wyłączania podglądu Modbus (216)"),
        [this](const Response& report) {
            if (report.code() == op::ModbusFrame) {
                showFrame(report);
                return ControllerLink::Take::Progress;
            }
            return report.code() == op::LiveStatus ? ControllerLink::Take::Done
                                                   : ControllerLink::Take::Ignore;
        },
        [this](const Response&) {
            out().line(tr_("%1 frames, %2 with a bad CRC", "ramek: %1, z błędnym CRC: %2")
                           .arg(frames_)
                           .arg(badCrc_));
            succeed({{QStringLiteral("frames"), frames_}, {QStringLiteral("badCrc"), badCrc_}});
        });
}

} // namespace kvt::cli
