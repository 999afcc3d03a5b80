// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "trend/core/CsvFormat.h"

#include <QByteArray>
#include <QFile>
#include <QString>

namespace kvt::trend {

// Writes a run to a trend file as it happens. Rows collect in memory and go to the file at
// least every FlushIntervalNs of run time (and whenever flush() is called), so a crash or a lost
// controller costs at most the last moment. A write that fails (full disk) or a file that is gone
// (its folder removed) ends the recording with the system's reason; the file keeps every row that
// reached it whole and is cut back to the last of them, so what is there stays a valid table. A
// start that fails leaves no file behind.
class CsvRecorder {
public:
    static constexpr qint64 FlushIntervalNs = 500'000'000;

    CsvRecorder() = default;
    ~CsvRecorder();
    CsvRecorder(const CsvRecorder&) = delete;
    CsvRecorder& operator=(const CsvRecorder&) = delete;

    // Replaces the file with one holding the column names. False, with errorString() set, when
    // that fails; an existing file is then left as it was.
    bool start(const QString& path, const QString& unit, const csv::TimeBase& base);
    bool isRecording() const { return file_.isOpen(); }
    const QString& path() const { return path_; }
    const QString& errorString() const { return error_; }
    qint64 rowsWritten() const { return rows_; }

    // Each returns false when the recording has ended on an error (nothing is added then).
    bool addSample(const Sample& sample);
    bool addEvent(const Event& event);
    // Hands the rows collected so far to the file when the last flush is FlushIntervalNs of run
    // time ago, or now.
    bool flushIfDue(qint64 nowNs);
    bool flush();

    // Writes what is left and closes the file. False when that last write failed.
    bool stop();

private:
    bool add(const QByteArray& row, qint64 timeNs);
    // Ends the recording on an error; `pendingWritten` bytes of the pending rows reached the file.
    bool fail(const QString& why, qint64 pendingWritten = 0);

    QFile file_;
    QString path_;
    QString error_;
    csv::TimeBase base_;
    QByteArray pending_;
    qint64 written_ = 0; // bytes in the file, all of them whole rows
    qint64 rows_ = 0;
    qint64 lastFlushNs_ = 0;
};

} // namespace kvt::trend
