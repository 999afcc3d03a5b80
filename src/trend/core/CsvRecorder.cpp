// SPDX-License-Identifier: GPL-3.0-or-later
#include "trend/core/CsvRecorder.h"

#include "format/core/AtomicFile.h"

#include <QFileInfo>

namespace kvt::trend {

CsvRecorder::~CsvRecorder() {
    stop();
}

bool CsvRecorder::start(const QString& path, const QString& unit, const csv::TimeBase& base) {
    stop();
    error_.clear();
    path_ = path;
    base_ = base;
    written_ = 0;
    rows_ = 0;
    lastFlushNs_ = base.startNs;
    // The header goes through the atomic writer, so a start that fails (a folder that cannot be
    // written, a full disk) leaves no empty file and an existing file as it was. The rows are
    // then appended as they come.
    const QByteArray header = csv::header(unit);
    files::AtomicFile first(path);
    if (!first.open() || !first.write(header) || !first.commit()) {
        error_ = first.reason();
        return false;
    }
    file_.setFileName(path);
    // Unbuffered: every flush is one write to the system, whose result is checked.
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) {
        error_ = file_.errorString();
        QFile::remove(path); // it holds nothing but the header just written
        return false;
    }
    written_ = header.size();
    return true;
}

bool CsvRecorder::addSample(const Sample& sample) {
    return add(csv::sampleRow(sample, base_), sample.timeNs);
}

bool CsvRecorder::addEvent(const Event& event) {
    return add(csv::eventRow(event, base_), event.timeNs);
}

bool CsvRecorder::add(const QByteArray& row, qint64 timeNs) {
    if (!isRecording())
        return false;
    pending_.append(row);
    ++rows_;
    return flushIfDue(timeNs);
}

bool CsvRecorder::flushIfDue(qint64 nowNs) {
    if (!isRecording())
        return false;
    if (nowNs - lastFlushNs_ < FlushIntervalNs)
        return true;
    lastFlushNs_ = nowNs;
    return flush();
}

bool CsvRecorder::flush() {
    if (!isRecording())
        return false;
    // An open file whose folder was removed still takes writes, into a file nobody can reach.
    if (!QFileInfo::exists(path_))
        return fail(QStringLiteral("the file or its folder no longer exists"));
    if (pending_.isEmpty())
        return true;
    // A write that goes through only in part is followed by one for the rest, so that the
    // system's reason (a full disk) is the one reported.
    qint64 done = 0;
    while (done < pending_.size()) {
        const qint64 count = file_.write(pending_.constData() + done, pending_.size() - done);
        if (count <= 0)
            return fail(file_.errorString(), done);
        done += count;
    }
    written_ += done;
    pending_.clear();
    return true;
}

bool CsvRecorder::fail(const QString& why, qint64 pendingWritten) {
    error_ = why.isEmpty() || why == QLatin1String("Unknown error") ? QStringLiteral("write failed") : why;
    // The rows that reached the file whole stay; a partly written row would make the last line
    // unreadable, so the file is cut back to the end of the last whole row.
    const qint64 wholeRows = pending_.left(pendingWritten).lastIndexOf('\n') + 1;
    rows_ -= pending_.mid(wholeRows).count('\n');
    written_ += wholeRows;
    if (file_.size() > written_)
        file_.resize(written_);
    file_.close();
    pending_.clear();
    return false;
}

bool CsvRecorder::stop() {
    if (!isRecording())
        return true;
    const bool ok = flush();
    if (file_.isOpen())
        file_.close();
    return ok;
}

} // namespace kvt::trend
