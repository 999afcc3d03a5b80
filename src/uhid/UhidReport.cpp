// SPDX-License-Identifier: GPL-3.0-or-later
#include "uhid/UhidReport.h"

#include <QStringList>

namespace kvt::uhid {

namespace {

void appendItem16(QByteArray& out, quint8 prefix, int value) {
    out.append(char(prefix));
    out.append(char(value & 0xFF));
    out.append(char((value >> 8) & 0xFF));
}

} // namespace

QByteArray controllerDescriptor(int inputBytes, int outputBytes) {
    QByteArray d;
    d.append("\x06\x00\xFF", 3); // usage page: vendor defined 0xFF00
    d.append("\x09\x01", 2);     // usage 1
    d.append("\xA1\x01", 2);     // collection: application
    d.append("\x85\x01", 2);     // report ID 1
    d.append("\x15\x00", 2);     // logical minimum 0
    d.append("\x26\xFF\x00", 3); // logical maximum 255
    d.append("\x75\x08", 2);     // report size: 8 bits
    appendItem16(d, 0x96, inputBytes); // report count (two-byte value)
    d.append("\x09\x01", 2);
    d.append("\x81\x02", 2); // input: data, variable, absolute
    appendItem16(d, 0x96, outputBytes);
    d.append("\x09\x01", 2);
    d.append("\x91\x02", 2); // output: data, variable, absolute
    d.append("\xC0", 1);     // end collection
    return d;
}

std::optional<ControlLine> parseControlLine(const QString& line) {
    const QStringList words = line.simplified().toLower().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.isEmpty() || words.size() > 2)
        return std::nullopt;
    static const std::pair<const char*, ControlLine::Verb> Verbs[] = {
        {"unplug", ControlLine::Verb::Unplug}, {"plug", ControlLine::Verb::Plug},
        {"mute", ControlLine::Verb::Mute},     {"unmute", ControlLine::Verb::Unmute},
        {"count", ControlLine::Verb::Count},   {"quit", ControlLine::Verb::Quit}};
    ControlLine parsed;
    bool known = false;
    for (const auto& [word, verb] : Verbs) {
        if (words.first() == QLatin1String(word)) {
            parsed.verb = verb;
            known = true;
        }
    }
    if (!known)
        return std::nullopt;
    if (words.size() == 2) {
        bool ok = false;
        parsed.device = words.at(1).toInt(&ok);
        if (!ok || parsed.device < 1 || parsed.verb == ControlLine::Verb::Quit)
            return std::nullopt;
    }
    return parsed;
}

} // namespace kvt::uhid
