// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/Session.h"
#include "modbus/core/FrameDecoder.h"

#include <QJsonObject>

namespace kvt::cli {

class ArgReader;

// One frame of the watch as a JSON document: its time and bytes and, when decoded, what it says.
QJsonObject modbusFrameJson(qint64 msecs, const QByteArray& bytes, const modbus::DecodedFrame* decoded,
                            const QString& text);

// The texts the frame decoder describes frames with, in the language of `tr`, from the main
// window's translation store.
modbus::DecodeTexts decodeTexts(const Texts& tr);

// modbus watch [--decode]: the Modbus frames the controller receives on its RS485 bus, a line per
// frame, until interrupted; then the counts. The controller's frame preview (216) is switched on
// for the watch and off again at its end, also when interrupted.
class ModbusWatchCommand : public Command {
    Q_OBJECT
public:
    ModbusWatchCommand(Session& session, ArgReader& args);
    QString name() const override { return QStringLiteral("modbus watch"); }
    void start(ControllerLink* link, std::optional<Model> model) override;
    void interrupt() override;

private:
    void showFrame(const Response& response);

    bool decode_ = false;
    bool stopping_ = false;
    ControllerLink* link_ = nullptr;
    modbus::FrameDecoder decoder_;
    modbus::DecodeTexts texts_;
    qint64 frames_ = 0;
    qint64 badCrc_ = 0;
};

} // namespace kvt::cli
