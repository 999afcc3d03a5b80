#include "trend/core/CsvRecorder.h"

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
    file_.setFileName(path);
    // Unbuffered: every flush is one write to the system, whose result is checked.
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
        error_ = file_.errorString();
        return false;
    }
    pending_ = csv::header(unit);
    return flush();
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
    const qint64 count = file_.write(pending_);
    if (count != pending_.size())
        return fail(file_.errorString());
    written_ += count;
    pending_.clear();
    return true;
}

bool CsvRecorder::fail(const QString& why) {
    error_ = why.isEmpty() ? QStringLiteral("write failed") : why;
    // A partly written row would make the last line unreadable: cut back to whole rows.
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
