// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "config/core/ConfigSettings.h"
#include "config/core/IniDocument.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

// The configuration file: an INI text ("*.kvt") holding the settings of the Configuration and
// RS485 pages in 29 entries of 9 sections.
namespace kvt::config {

struct ConfigFileEntry {
    QString section;
    QString key;
    QString value;
};

// The 29 entries written from `s`, in the order they are written.
QList<ConfigFileEntry> configFileEntries(const ConfigSettings& s);

// The file's new content: `existing` (empty for a new file) with the 29 entries replaced in
// place or added; every other line is kept.
QByteArray writeConfigFile(const QByteArray& existing, const ConfigSettings& s);

// What loading changed beyond the settings themselves.
struct ConfigFileLoad {
    // Encoder buttons selected while loading, in order (0 none, 1 incremental, 2 absolute): the
    // page runs its encoder reaction for each, as for a user's click.
    QList<int> encoderSelections;
};

// Applies the 28 entries after the version to `s` in file order, as a load does: a missing key or
// an integer that is not one takes the entry's default; slider positions are limited to their
// range and the standstill current to the motor current; a list position outside its list
// leaves that list as it is; a true option selects its button and clears the others of its
// group, a false one clears only its own; texts are taken as they are.
ConfigFileLoad applyConfigFile(const IniDocument& file, ConfigSettings& s, const SettingsLimits& limits);

// The path a save writes to: ".kvt" is appended unless the name already ends in exactly ".kvt".
QString configSavePath(const QString& chosenPath);

// Writes the file at `path` atomically: the new content goes to a temporary file beside it that
// then replaces it, so a failed save leaves the old file as it was; a folder that takes no
// temporary file is reported as not writable, never written in place. Returns the error text on
// failure: "Unable to write to <path>" and, on a second line, the cause.
std::optional<QString> saveConfigFile(const QString& path, const ConfigSettings& s);

// The whole file at `path`; none when it is missing or cannot be read.
std::optional<QByteArray> readConfigFile(const QString& path);

QString writeErrorText(const QString& path); // "Unable to write to <path>"
QString readErrorText(const QString& path);  // "Unable to read <path>"

} // namespace kvt::config
