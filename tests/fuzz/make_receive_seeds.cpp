// SPDX-License-Identifier: GPL-3.0-or-later
// Writes seed inputs for fuzz_receive: the answers of a simulated KVT318 to the commands the
// window sends, one file per command and one for a whole session, in the target's input format
// (a length byte, then the report's bytes after the report ID, trailing zeros dropped).
//
//   make_receive_seeds FOLDER

#include "link/OpCode.h"
#include "sim/SimController.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <cstdio>

namespace {

QByteArray encoded(const QList<QByteArray>& reports) {
    QByteArray out;
    for (QByteArray report : reports) {
        report = report.left(64);
        while (!report.isEmpty() && report.back() == '\0')
            report.chop(1);
        out.append(char(report.size()));
        out.append(report);
    }
    return out;
}

QByteArray command(quint8 code, const QByteArray& parameters = {}) {
    return QByteArray(1, char(code)) + parameters;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_receive_seeds FOLDER\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    folder.mkpath(QStringLiteral("."));
    kvt::sim::SimController controller(QStringLiteral("KVT318"), 2.04f, QStringLiteral("SIM"));
    const QList<std::pair<const char*, QByteArray>> commands = {
        {"identity", command(kvt::op::Identity)},
        {"configuration", command(kvt::op::Configuration)},
        {"live_status", command(kvt::op::LiveStatus)},
        {"run_state", command(kvt::op::ProgramRunState)},
        {"drive_on", command(kvt::op::DriveOn)},
        {"run_at_speed", command(kvt::op::RunAtSpeed, QByteArray::fromHex("0000803f"))},
        {"stop", command(kvt::op::Stop)},
        {"home", command(kvt::op::Home)},
        {"drive_off", command(kvt::op::DriveOff)},
        {"program_begin", command(kvt::op::ProgramBegin, QByteArray::fromHex("0002"))},
        {"program_record",
         command(kvt::op::ProgramRecord, QByteArray::fromHex("0000") + QByteArray(10, '\1'))},
        {"program_read_length", command(kvt::op::ProgramReadLength)},
        {"program_read_next", command(kvt::op::ProgramReadNext)},
        {"read_registers", command(kvt::op::ReadRegisters)},
        {"modbus_preview", command(kvt::op::ModbusPreview, QByteArray(1, '\1'))},
        {"encoder_test", command(kvt::op::EncoderTest, QByteArray(1, '\1'))},
        {"factory_reset", command(kvt::op::FactoryReset)},
        {"set_motion_params", command(kvt::op::SetMotionParams, QByteArray::fromHex("0000803f00002040"))},
    };
    QList<QByteArray> session;
    for (const auto& [name, bytes] : commands) {
        QList<QByteArray> answers = controller.handle(bytes);
        controller.advance(200);
        answers += controller.takeUnsolicited();
        session += answers;
        QFile file(folder.filePath(QString::fromLatin1(name)));
        if (answers.isEmpty() || !file.open(QIODevice::WriteOnly) || file.write(encoded(answers)) < 0)
            continue;
    }
    QFile file(folder.filePath(QStringLiteral("session")));
    if (!file.open(QIODevice::WriteOnly) || file.write(encoded(session)) < 0)
        return 1;
    std::printf("%lld answers\n", static_cast<long long>(session.size()));
    return 0;
}
