// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QSaveFile>
#include <QString>
#include <optional>

namespace kvt::files {

// The one way this project writes a file it saves (configuration, program, trend export,
// simulated state, logs, reports). The bytes go to a temporary file in the target's folder,
// unbuffered, so that every failed write (a full disk, a file-size limit, an I/O error) is seen
// when it happens; only when all of them succeeded is the temporary file flushed to the disk and
// renamed over the target. On any failure the old file is left as it was, the temporary file is
// removed and the error is named. There is no in-place fallback: a folder that cannot take a
// temporary file is reported as not writable.
class AtomicFile {
public:
    explicit AtomicFile(const QString& path);
    ~AtomicFile(); // an uncommitted file is discarded, the target untouched

    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Creates the temporary file; false (with error()) when the folder cannot take it.
    bool open();
    // Appends bytes; false (with error()) at the first write that does not go through whole.
    // Once a write failed, every later call fails too, so a caller may check only commit().
    bool write(const QByteArray& bytes);
    // Flushes to the disk and replaces the target; false (with error()) on any failure, the old
    // file then kept.
    bool commit();
    // Discards what was written; the target stays as it was.
    void cancel();

    // The reason of the first failure, naming the file: empty while nothing failed.
    [[nodiscard]] QString error() const;
    // The same reason without the file's name, for a message that shows the name already.
    [[nodiscard]] QString reason() const { return reason_; }
    [[nodiscard]] QString path() const { return path_; }

private:
    void fail(const QString& reason);

    QString path_;
    QSaveFile file_;
    QString reason_;
    bool opened_ = false;
};

// Writes `contents` whole as above: std::nullopt on success, else the error text.
std::optional<QString> writeFileAtomically(const QString& path, const QByteArray& contents);

// The system's reason for the last failed call (errno), in the user's terms ("No space left on
// device"); `fallback` when there is none.
QString systemErrorText(const QString& fallback);

} // namespace kvt::files
