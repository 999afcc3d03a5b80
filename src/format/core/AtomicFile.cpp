// SPDX-License-Identifier: GPL-3.0-or-later
#include "AtomicFile.h"

#include <QDir>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace kvt::files {

namespace {

// The file's own error text, or the system's when the device has none worth showing.
QString reasonOf(const QFileDevice& file) {
    const int code = errno;
    if (file.error() != QFileDevice::NoError && !file.errorString().isEmpty() &&
        file.errorString() != QLatin1String("Unknown error"))
        return file.errorString();
    errno = code;
    return systemErrorText(file.errorString().isEmpty() ? QStringLiteral("write failed") : file.errorString());
}

} // namespace

QString systemErrorText(const QString& fallback) {
    const int code = errno;
    if (code == 0)
        return fallback;
    return QString::fromLocal8Bit(std::strerror(code));
}

AtomicFile::AtomicFile(const QString& path) : path_(path), file_(path) {
    // Writing in place would leave a cut file behind a failure: never do it.
    file_.setDirectWriteFallback(false);
}

AtomicFile::~AtomicFile() {
    cancel();
}

QString AtomicFile::error() const {
    return reason_.isEmpty() ? QString() : QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path_), reason_);
}

void AtomicFile::fail(const QString& reason) {
    if (reason_.isEmpty())
        reason_ = reason;
    cancel();
}

bool AtomicFile::open() {
    cancel();
    reason_.clear();
    const QFileInfo info(path_);
    if (info.exists() && !info.isFile()) {
        fail(info.isDir() ? QStringLiteral("a folder of that name exists") : QStringLiteral("not a regular file"));
        return false;
    }
    const QFileInfo folder(info.absolutePath());
    const QString dir = QDir::toNativeSeparators(folder.absoluteFilePath());
    if (!folder.isDir()) {
        fail(QStringLiteral("the folder %1 does not exist").arg(dir));
        return false;
    }
    errno = 0;
    // Unbuffered: each write reaches the temporary file at once, so a short write is seen by the
    // call that made it rather than lost in a flush at commit.
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        if (folder.isWritable() && info.exists() && !info.isWritable())
            fail(QStringLiteral("the file is read-only"));
        else
            fail(QStringLiteral("the folder %1 cannot be written (%2)").arg(dir, reasonOf(file_)));
        return false;
    }
    opened_ = true;
    return true;
}

bool AtomicFile::write(const QByteArray& bytes) {
    if (!reason_.isEmpty())
        return false;
    if (!opened_) {
        fail(QStringLiteral("not open"));
        return false;
    }
    qint64 done = 0;
    while (done < bytes.size()) {
        errno = 0;
        const qint64 n = file_.write(bytes.constData() + done, bytes.size() - done);
        if (n <= 0) {
            fail(reasonOf(file_));
            return false;
        }
        done += n;
    }
    return true;
}

bool AtomicFile::commit() {
    if (!reason_.isEmpty())
        return false;
    if (!opened_) {
        fail(QStringLiteral("not open"));
        return false;
    }
#ifdef Q_OS_UNIX
    // QSaveFile syncs before the rename but ignores the result; a file system that reports a
    // full disk or an I/O error only now (network and some copy-on-write ones) must not have the
    // old file replaced. A file system that cannot sync at all is no error.
    if (::fsync(file_.handle()) != 0 && errno != EINVAL && errno != EROFS && errno != ENOTSUP) {
        fail(systemErrorText(QStringLiteral("cannot flush to the disk")));
        return false;
    }
#endif
    errno = 0;
    const bool ok = file_.commit(); // closes, syncs and renames; removes the temporary on failure
    opened_ = false;
    if (!ok) {
        reason_ = reasonOf(file_);
        return false;
    }
    return true;
}

void AtomicFile::cancel() {
    if (!opened_)
        return;
    opened_ = false;
    // A commit after cancelWriting() removes the temporary file now rather than when this object
    // goes, so a failed save leaves nothing behind even while its caller still holds it.
    file_.cancelWriting();
    file_.commit();
}

std::optional<QString> writeFileAtomically(const QString& path, const QByteArray& contents) {
    AtomicFile file(path);
    if (file.open() && file.write(contents) && file.commit())
        return std::nullopt;
    return file.error();
}

} // namespace kvt::files
