// SPDX-License-Identifier: GPL-3.0-or-later
// The configuration file reader on arbitrary file contents: the INI text is read and applied to
// the settings as a load does; the settings stay within what the pages can show, the text
// survives reading unchanged, and a file saved over it loads back to the same settings.

#include "FuzzCheck.h"
#include "config/core/ConfigFile.h"
#include "config/core/ModbusLink.h"

#include <QByteArray>
#include <QStringDecoder>
#include <cstdint>

using namespace kvt::config;

namespace {

void checkRanges(const ConfigSettings& s, const SettingsLimits& limits) {
    FUZZ_CHECK(s.MaxCurrent >= CurrentMinimum && s.MaxCurrent <= limits.currentMaximum);
    FUZZ_CHECK(s.RedCurrent >= CurrentMinimum && s.RedCurrent <= s.MaxCurrent);
    FUZZ_CHECK(s.Microstep >= 0 && s.Microstep < limits.stepDivisionCount);
    FUZZ_CHECK(s.MotorResol >= 0 && s.MotorResol < MotorResolutionCount);
    FUZZ_CHECK(s.EncoderMode >= NoSelection && s.EncoderMode <= 2);
    FUZZ_CHECK(s.HomingMode >= NoSelection && s.HomingMode <= 2);
    FUZZ_CHECK(s.AinMode >= 0 && s.AinMode < AnalogModeCount);
    FUZZ_CHECK(s.Units >= 0 && s.Units < UnitCount);
    FUZZ_CHECK(s.Decp >= 0 && s.Decp < DecimalsCount);
    FUZZ_CHECK(s.Baudrate >= NoSelection && s.Baudrate < ModbusRateCount);
    FUZZ_CHECK(s.Address >= 0 && s.Address < ModbusAddressCount);
    for (const QString* text : {&s.DefMinVel, &s.DefMaxVel, &s.DefAcc, &s.EncoderResol, &s.AinMinVal,
                                &s.AinMaxVal, &s.RevToLinCoef, &s.Kp})
        FUZZ_CHECK(text->size() <= IniDocument::MaxValueLength);
}

bool readAsUtf8(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString decoded = utf8.decode(bytes);
    return !utf8.hasError();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const IniDocument file = IniDocument::parse(bytes);
    // Lines nobody changed stay byte for byte.
    FUZZ_CHECK(file.toBytes() == bytes);

    // A PXA-KVT's smaller current range, so that limiting is exercised both ways.
    SettingsLimits limits;
    limits.currentMaximum = size % 2 == 0 ? 100 : 80;
    ConfigSettings settings;
    const ConfigFileLoad load = applyConfigFile(file, settings, limits);
    checkRanges(settings, limits);
    FUZZ_CHECK(load.encoderSelections.size() <= 3);

    // Saving over the file keeps its other lines, and what was saved loads back the same.
    const QByteArray saved = writeConfigFile(bytes, settings);
    ConfigSettings reloaded;
    applyConfigFile(IniDocument::parse(saved), reloaded, limits);
    checkRanges(reloaded, limits);
    if (readAsUtf8(saved) != readAsUtf8(bytes)) {
        // A file read as Latin-1 whose only bytes that are not UTF-8 stood in entries the save
        // rewrote is read as UTF-8 afterwards, so its other lines may read differently: texts,
        // and names that begin with a UTF-8 byte order mark, which UTF-8 reading drops (see
        // regressions/fuzz_config_file). Known and left as it is.
        return 0;
    }
    FUZZ_CHECK(reloaded == settings);
    // Saving the same settings again changes nothing.
    FUZZ_CHECK(writeConfigFile(saved, settings) == saved);
    return 0;
}
