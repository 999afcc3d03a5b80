// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "sim/SimMemory.h"

#include <QJsonObject>
#include <QLockFile>
#include <QString>
#include <memory>
#include <optional>

namespace kvt::sim {

class SimBackend;

// A file that keeps the memory of simulated controllers between runs of the programs that
// simulate them, so that a sequence of runs behaves like one controller that stays plugged in.
// One entry per serial number; a JSON text that a person can read.
class SimStateFile {
public:
    // Far more than the memory of every simulated controller a run can plug in.
    static constexpr qint64 MaxFileSize = 16 * 1024 * 1024;

    explicit SimStateFile(QString path);
    ~SimStateFile();

    const QString& path() const { return path_; }

    // Takes the file for this run, so that two runs at once do not overwrite each other's
    // changes: waits up to `timeoutMs` for another run to finish. Error text on failure, also
    // when the path holds something other than a regular file of at most MaxFileSize bytes.
    std::optional<QString> lock(int timeoutMs);
    // Reads the file; a missing file is an empty state. Error text when it cannot be read, is no
    // regular file, is larger than MaxFileSize or holds something else.
    std::optional<QString> load();
    // Writes the file atomically, creating its folder. Error text on failure.
    std::optional<QString> save() const;

    // The memory kept for `serial`; none when nothing is kept or it was another model's.
    std::optional<SimMemory> memory(const QString& serial, const SimMemory& fallback) const;
    void setMemory(const QString& serial, const SimMemory& memory);

    // The simulated controllers `ids` of `backend` take the memory kept for their serial
    // numbers, or give their memory to the file (also when they have been unplugged since).
    void restoreInto(SimBackend& backend, const QList<int>& ids) const;
    void storeFrom(SimBackend& backend, const QList<int>& ids);

private:
    std::optional<QString> refusal() const;

    QString path_;
    QJsonObject controllers_;
    std::unique_ptr<QLockFile> lock_;
};

} // namespace kvt::sim
