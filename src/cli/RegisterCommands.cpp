// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/RegisterCommands.h"

#include "cli/DeviceChoice.h"
#include "cli/Options.h"
#include "cli/Words.h"
#include "format/core/FloatText.h"
#include "link/HidDevice.h"
#include "link/OpCode.h"
#include "modbus/core/UserRegisters.h"
#include "program/core/ProgramControl.h"

#include <QJsonArray>
#include <bit>
#include <memory>

namespace kvt::cli {

namespace {

constexpr int FirstRegister = 50;
constexpr int LastShown = 96;
constexpr int LastRegister = 98;

std::optional<int> registerNumber(QString word) {
    if (word.startsWith(QLatin1Char('R'), Qt::CaseInsensitive))
        word = word.mid(1);
    bool ok = false;
    const int n = word.toInt(&ok);
    if (!ok || n < FirstRegister || n > LastRegister || n % 2 != 0)
        return std::nullopt;
    return n;
}

QString notARegister(const QString& word, const Texts& tr) {
    return tr("\"%1\" is not a user register (R50, R52, ... R98)",
              "\"%1\" nie jest rejestrem użytkownika (R50, R52, ... R98)")
        .arg(word);
}

QJsonObject registerJson(int n, quint32 value) {
    return {{QStringLiteral("register"), n},
            {QStringLiteral("value"), fmt::floatJson(std::bit_cast<float>(value))},
            {QStringLiteral("dword"), qint32(value)},
            {QStringLiteral("hex"), QStringLiteral("%1").arg(value, 8, 16, QLatin1Char('0')).toUpper()}};
}

QString registerLine(int n, quint32 value) {
    return QStringLiteral("R%1 = %2").arg(n).arg(fmt::shortestFloat(std::bit_cast<float>(value)));
}

} // namespace

std::variant<QList<int>, QString> parseRegisterList(const QStringList& words, const Texts& tr) {
    QList<int> registers;
    if (words.isEmpty()) {
        for (int n = FirstRegister; n <= LastShown; n += 2)
            registers.append(n);
        return registers;
    }
    for (const QString& word : words) {
        const qsizetype dots = word.indexOf(QLatin1String(".."));
        if (dots < 0) {
            const std::optional<int> n = registerNumber(word);
            if (!n)
                return notARegister(word, tr);
            registers.append(*n);
            continue;
        }
        const std::optional<int> from = registerNumber(word.left(dots));
        const std::optional<int> to = registerNumber(word.mid(dots + 2));
        if (!from || !to || *from > *to)
            return notARegister(word, tr);
        for (int n = *from; n <= *to; n += 2)
            registers.append(n);
    }
    return registers;
}

std::variant<RegisterValue, QString> parseRegisterValue(const QString& word, const Texts& tr) {
    const qsizetype eq = word.indexOf(QLatin1Char('='));
    const std::optional<int> n = eq > 0 ? registerNumber(word.left(eq)) : std::nullopt;
    if (!n)
        return tr("\"%1\" does not set a user register: write R50=1.5",
                  "\"%1\" nie ustawia rejestru użytkownika: napisz R50=1.5")
            .arg(word);
    const std::optional<double> value = fmt::readDecimal(word.mid(eq + 1));
    if (!value || std::abs(*value) > double(std::numeric_limits<float>::max()))
        return tr("\"%1\" is not a number", "\"%1\" nie jest liczbą").arg(word.mid(eq + 1));
    return RegisterValue{*n, float(*value)};
}

void readRegisters(ControllerLink& link, const Texts& tr,
                   std::function<void(const QMap<int, quint32>&)> then) {
    auto values = std::make_shared<QMap<int, quint32>>();
    auto halves = std::make_shared<int>(0); // bit 0 lower half seen, bit 1 upper half
    link.send(modbus::encodeReadRegisters());
    link.await(
        tr("reading the user registers (106)", "odczytu rejestrów użytkownika (106)"),
        [values, halves](const Response& r) {
            if (r.code() != op::ReadRegisters)
                return ControllerLink::Take::Ignore;
            const modbus::RegisterHalf half = modbus::decodeRegisterHalf(r.bytes());
            for (int k = 0; k < half.values.size(); ++k)
                values->insert(half.firstRegister + 2 * k, half.values[k]);
            *halves |= half.upper ? 2 : 1;
            return *halves == 3 ? ControllerLink::Take::Done : ControllerLink::Take::Progress;
        },
        [values, then = std::move(then)](const Response&) { then(*values); });
}

RegisterGetCommand::RegisterGetCommand(Session& session, ArgReader& args) : Command(session) {
    const auto parsed = parseRegisterList(args.positionals(), tr_);
    if (const QString* error = std::get_if<QString>(&parsed))
        args.setError(*error);
    else
        registers_ = std::get<QList<int>>(parsed);
}

void RegisterGetCommand::start(ControllerLink* link, std::optional<Model>) {
    readRegisters(*link, tr_, [this, link](const QMap<int, quint32>& values) {
        QJsonArray registers;
        for (const int n : std::as_const(registers_)) {
            out().line(registerLine(n, values.value(n)));
            registers.append(registerJson(n, values.value(n)));
        }
        succeed({{QStringLiteral("device"), deviceJson(link->device()->info())},
                 {QStringLiteral("registers"), registers}});
    });
}

RegisterSetCommand::RegisterSetCommand(Session& session, ArgReader& args) : Command(session) {
    const QStringList words = args.positionals();
    if (words.isEmpty())
        args.setError(tr_("reg set takes values: R50=1.5 ...", "reg set wymaga wartości: R50=1.5 ..."));
    for (const QString& word : words) {
        const auto parsed = parseRegisterValue(word, tr_);
        if (const QString* error = std::get_if<QString>(&parsed)) {
            args.setError(*error);
            return;
        }
        values_.append(std::get<RegisterValue>(parsed));
    }
}

void RegisterSetCommand::start(ControllerLink* link, std::optional<Model>) {
    sendNext(link, 0);
}

void RegisterSetCommand::sendNext(ControllerLink* link, int index) {
    if (index == values_.size()) {
        readRegisters(*link, tr_, [this, link](const QMap<int, quint32>& held) { verify(link, held); });
        return;
    }
    const RegisterValue& v = values_[index];
    link->request(*program::encodeSetRegister(v.n, v.value), op::SetRegister,
                  tr_("setting R%1 (234)", "ustawiania R%1 (234)").arg(v.n),
                  [this, link, index](const Response&) { sendNext(link, index + 1); });
}

void RegisterSetCommand::verify(ControllerLink* link, const QMap<int, quint32>& held) {
    QJsonArray registers;
    QStringList wrong;
    // A register named twice holds the last value sent.
    QMap<int, quint32> sent;
    for (const RegisterValue& v : std::as_const(values_))
        sent.insert(v.n, std::bit_cast<quint32>(v.value));
    for (auto it = sent.cbegin(); it != sent.cend(); ++it) {
        const quint32 now = held.value(it.key());
        out().line(registerLine(it.key(), now));
        registers.append(registerJson(it.key(), now));
        if (now != it.value())
            wrong.append(QStringLiteral("R%1").arg(it.key()));
    }
    const QJsonObject result{{QStringLiteral("device"), deviceJson(link->device()->info())},
                             {QStringLiteral("registers"), registers}};
    if (!wrong.isEmpty()) {
        fail(Exit::Mismatch,
             tr_("the controller holds other values than were sent in %1; set them again",
                 "sterownik ma inne wartości niż wysłane w %1; ustaw je ponownie")
                 .arg(wrong.join(QStringLiteral(", "))),
             result);
        return;
    }
    succeed(result);
}

RegisterSaveCommand::RegisterSaveCommand(Session& session, ArgReader& args) : Command(session) {
    if (!args.positionals().isEmpty())
        args.setError(tr_("reg save takes no arguments", "reg save nie przyjmuje argumentów"));
}

void RegisterSaveCommand::start(ControllerLink* link, std::optional<Model>) {
    link->request(program::encodeSaveRegisters(), op::SaveRegisters,
                  tr_("saving the user registers (235)", "zapisu rejestrów użytkownika (235)"),
                  [this, link](const Response&) {
                      out().line(tr_("user registers saved in the non-volatile memory of %1",
                                     "rejestry użytkownika zapisane w pamięci nieulotnej %1")
                                     .arg(deviceLabel(link->device()->info())));
                      succeed({{QStringLiteral("device"), deviceJson(link->device()->info())}});
                  });
}

} // namespace kvt::cli
