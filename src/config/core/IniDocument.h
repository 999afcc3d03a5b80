// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

namespace kvt::config {

// An INI text held as its lines, so that it can be updated in place: setting a value rewrites
// or adds only that entry's line, and every other line (other sections and keys, comments,
// blank lines, their line endings) stays byte for byte. Section and key names are matched
// without regard to letter case and to blanks around them; the first matching section and the
// first matching key in it count. Lines this class writes end with CR LF.
//
// The text is read as UTF-8, or as Latin-1 when it is not valid UTF-8; values written go out in
// the same encoding. A UTF-8 byte order mark in front (as some editors write) is not part of the
// first line and stays in front.
class IniDocument {
public:
    IniDocument() = default;
    static IniDocument parse(const QByteArray& bytes);

    // The text after the first "=" of the entry, without surrounding blanks, at most
    // MaxValueLength characters; none when the section or the key is missing.
    std::optional<QString> value(const QString& section, const QString& key) const;
    void setValue(const QString& section, const QString& key, const QString& value);

    QByteArray toBytes() const;

    static constexpr int MaxValueLength = 2047;

private:
    enum class LineKind { Other, Section, Key };
    struct Line {
        QByteArray text;   // without the line ending
        QByteArray ending; // "\r\n", "\n", "\r" or empty for a last line without one
        // Read once when the line is made, so that a lookup does not decode every line again:
        // a section header's or an entry's name, without surrounding blanks.
        LineKind kind = LineKind::Other;
        QString name;
    };

    QString decode(const QByteArray& bytes) const;
    QByteArray encode(const QString& text) const;
    Line makeLine(const QByteArray& text, const QByteArray& ending) const;
    qsizetype findSection(const QString& section) const;           // header line, or -1
    qsizetype sectionEnd(qsizetype header) const;                  // first line after the section
    qsizetype findKey(qsizetype header, const QString& key) const; // entry line, or -1
    void insertLine(qsizetype at, const QByteArray& text);

    QByteArray byteOrderMark_; // kept as it was, in front of the first line
    QList<Line> lines_;
    QList<qsizetype> sections_; // the section headers' line numbers, ascending
    bool latin1_ = false;
};

// Integer values: "0x"/"0X" followed by hexadecimal digits (a 32-bit pattern), or a signed
// decimal integer of 32 bits; anything else is not an integer.
std::optional<qint32> parseIniInteger(const QString& text);

} // namespace kvt::config
