// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/ByteReader.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <array>

// The controller's user registers 50..99. A register is 16 bits, sent high byte first; a 32-bit
// value occupies the pair N, N+1 with its low half in N, so on the wire a pair is four bytes:
// high and low byte of N, then high and low byte of N+1. Values are read as an IEEE-754 single
// (REAL) or a signed 32-bit integer (DWORD).
namespace kvt::modbus {

constexpr int FirstUserRegister = 50;
constexpr int LastUserRegister = 99;

// The 32-bit value of the pair whose four wire bytes start at `at`.
quint32 readRegisterPair(const ByteReader& bytes, int at);
// The four wire bytes of a pair holding `value`.
std::array<quint8, 4> registerPairBytes(quint32 value);

enum class RegisterView { Real, Dword };
// A pair's value as the grid shows it: general(8, 8) of the single, or the signed integer.
QString registerText(quint32 value, RegisterView view);
// general(8, 8) of the value read as a single, whatever the grid shows.
QString realText(quint32 value);

// One report of response 106: the lower half (byte 1 = 0) carries the pairs 50..78, the upper
// half (byte 1 != 0) the pairs 80..98.
struct RegisterHalf {
    bool upper = false;
    int firstRegister = FirstUserRegister; // register of values[0]; values[k] is register first + 2k
    QList<quint32> values;
};
RegisterHalf decodeRegisterHalf(const ByteReader& response);

// The register grid: data cell (column c, row r), both 1..5, holds the pair N = 38 + 2c + 10r.
constexpr int GridSize = 6; // with the header row and column
struct GridCell {
    int column = 0;
    int row = 0;
};
GridCell gridCellOfPair(int firstRegister);
int pairOfGridCell(int column, int row);
// "N-N+1" for a data cell, e.g. "50-51".
QString pairLabel(int column, int row);
// Header texts of column 0 (rows 1..5) and row 0 (columns 1..5).
QString rowHeader(int row);
QString columnHeader(int column);

// Command 106: read the user registers.
QByteArray encodeReadRegisters();

// Command 216: what the controller reports on its own.
enum class PreviewMode : quint8 {
    Off = 0,
    Frames = 1,    // each Modbus frame it receives (response 87)
    Registers = 2, // the user registers (response 106)
};
QByteArray encodePreviewMode(PreviewMode mode);

} // namespace kvt::modbus
