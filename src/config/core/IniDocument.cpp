// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/core/IniDocument.h"

#include <QStringDecoder>
#include <algorithm>
#include <cstring>

namespace kvt::config {

namespace {

const QByteArray CrLf("\r\n");
const QByteArray Lf("\n");
const QByteArray Cr("\r");
const QByteArray Utf8ByteOrderMark("\xEF\xBB\xBF");

// Both names without surrounding blanks.
bool sameName(const QString& name, const QString& wanted) {
    return name.compare(wanted, Qt::CaseInsensitive) == 0;
}

} // namespace

IniDocument IniDocument::parse(const QByteArray& bytes) {
    IniDocument doc;
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString decoded = utf8.decode(bytes);
    doc.latin1_ = utf8.hasError();

    qsizetype start = 0;
    if (bytes.startsWith(Utf8ByteOrderMark)) {
        doc.byteOrderMark_ = Utf8ByteOrderMark;
        start = Utf8ByteOrderMark.size();
    }
    while (start < bytes.size()) {
        // The line ends at the first CR or LF; memchr keeps the scan out of per-byte code.
        const char* from = bytes.constData() + start;
        const auto left = size_t(bytes.size() - start);
        const void* lf = std::memchr(from, '\n', left);
        const size_t upToLf = lf ? size_t(static_cast<const char*>(lf) - from) : left;
        const void* cr = std::memchr(from, '\r', upToLf);
        const qsizetype end = start + qsizetype(cr ? size_t(static_cast<const char*>(cr) - from) : upToLf);
        QByteArray ending; // shared with the constants: no copy per line
        if (end < bytes.size()) {
            const bool crLf = bytes.at(end) == '\r' && end + 1 < bytes.size() && bytes.at(end + 1) == '\n';
            ending = crLf ? CrLf : bytes.at(end) == '\r' ? Cr : Lf;
        }
        doc.lines_.append(doc.makeLine(bytes.mid(start, end - start), ending));
        if (doc.lines_.constLast().kind == LineKind::Section)
            doc.sections_.append(doc.lines_.size() - 1);
        start = end + ending.size();
    }
    return doc;
}

QString IniDocument::decode(const QByteArray& bytes) const {
    return latin1_ ? QString::fromLatin1(bytes) : QString::fromUtf8(bytes);
}

QByteArray IniDocument::encode(const QString& text) const {
    return latin1_ ? text.toLatin1() : text.toUtf8();
}

IniDocument::Line IniDocument::makeLine(const QByteArray& text, const QByteArray& ending) const {
    Line line{text, ending, LineKind::Other, {}};
    const QByteArray t = text.trimmed();
    if (t.startsWith('[')) {
        const qsizetype close = t.indexOf(']');
        if (close >= 0) {
            line.kind = LineKind::Section;
            line.name = decode(t.mid(1, close - 1)).trimmed();
        }
        return line;
    }
    if (t.startsWith(';') || t.startsWith('#'))
        return line;
    const qsizetype eq = t.indexOf('=');
    if (eq >= 0) {
        line.kind = LineKind::Key;
        line.name = decode(t.left(eq)).trimmed();
    }
    return line;
}

qsizetype IniDocument::findSection(const QString& section) const {
    const QString wanted = section.trimmed();
    for (const qsizetype header : sections_) {
        if (sameName(lines_.at(header).name, wanted))
            return header;
    }
    return -1;
}

qsizetype IniDocument::sectionEnd(qsizetype header) const {
    const auto next = std::upper_bound(sections_.cbegin(), sections_.cend(), header);
    return next == sections_.cend() ? lines_.size() : *next;
}

qsizetype IniDocument::findKey(qsizetype header, const QString& key) const {
    const QString wanted = key.trimmed();
    const qsizetype end = sectionEnd(header);
    for (qsizetype i = header + 1; i < end; ++i) {
        const Line& line = lines_.at(i);
        if (line.kind == LineKind::Key && sameName(line.name, wanted))
            return i;
    }
    return -1;
}

std::optional<QString> IniDocument::value(const QString& section, const QString& key) const {
    const qsizetype header = findSection(section);
    if (header < 0)
        return std::nullopt;
    const qsizetype at = findKey(header, key);
    if (at < 0)
        return std::nullopt;
    const QByteArray& text = lines_.at(at).text;
    return decode(text.mid(text.indexOf('=') + 1)).trimmed().left(MaxValueLength);
}

void IniDocument::insertLine(qsizetype at, const QByteArray& text) {
    // The line before gets a line ending if it was the last line and had none.
    if (at > 0 && lines_.at(at - 1).ending.isEmpty())
        lines_[at - 1].ending = CrLf;
    Line line = makeLine(text, CrLf);
    for (qsizetype& header : sections_) {
        if (header >= at)
            ++header;
    }
    if (line.kind == LineKind::Section)
        sections_.insert(std::upper_bound(sections_.cbegin(), sections_.cend(), at), at);
    lines_.insert(at, std::move(line));
}

void IniDocument::setValue(const QString& section, const QString& key, const QString& value) {
    // A value is one line: a line break would start a new entry.
    QString oneLine = value;
    oneLine.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    const QByteArray entry = encode(key) + '=' + encode(oneLine);

    const qsizetype header = findSection(section);
    if (header < 0) {
        if (!lines_.isEmpty())
            insertLine(lines_.size(), {}); // a blank line between sections
        insertLine(lines_.size(), '[' + encode(section) + ']');
        insertLine(lines_.size(), entry);
        return;
    }
    const qsizetype at = findKey(header, key);
    if (at >= 0) {
        lines_[at] = makeLine(entry, CrLf);
        return;
    }
    // A new key goes after the section's last entry, before any blank lines or comments that
    // separate it from the next section.
    qsizetype after = header;
    const qsizetype end = sectionEnd(header);
    for (qsizetype i = header + 1; i < end; ++i) {
        if (lines_.at(i).kind == LineKind::Key)
            after = i;
    }
    insertLine(after + 1, entry);
}

QByteArray IniDocument::toBytes() const {
    QByteArray out = byteOrderMark_;
    for (const Line& line : lines_)
        out += line.text + line.ending;
    return out;
}

std::optional<qint32> parseIniInteger(const QString& text) {
    const QString t = text.trimmed();
    if (t.size() > 2 && (t.startsWith(QLatin1String("0x")) || t.startsWith(QLatin1String("0X")))) {
        bool ok = false;
        const QStringView digits = QStringView(t).mid(2);
        // QString's own parser would take a sign or blanks after the prefix.
        for (const QChar c : digits) {
            if (!((c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
                  (c.toLower() >= QLatin1Char('a') && c.toLower() <= QLatin1Char('f'))))
                return std::nullopt;
        }
        const quint32 value = digits.toUInt(&ok, 16);
        if (!ok)
            return std::nullopt;
        return qint32(value);
    }
    qsizetype pos = 0;
    if (pos < t.size() && (t.at(pos) == QLatin1Char('-') || t.at(pos) == QLatin1Char('+')))
        ++pos;
    if (pos == t.size())
        return std::nullopt;
    for (qsizetype i = pos; i < t.size(); ++i) {
        if (t.at(i) < QLatin1Char('0') || t.at(i) > QLatin1Char('9'))
            return std::nullopt;
    }
    bool ok = false;
    const int value = t.toInt(&ok, 10);
    if (!ok)
        return std::nullopt;
    return qint32(value);
}

} // namespace kvt::config
