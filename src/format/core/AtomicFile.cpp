#include "AtomicFile.h"

#include <QDir>
#include <QFileInfo>
#include <cerrno>
#include <cstring>

namespace kvt::files {

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
    if (opened_)
        file_.cancelWriting();
}

void AtomicFile::fail(const QString& reason) {
    if (error_.isEmpty())
        error_ = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path_), reason);
    if (opened_)
        file_.cancelWriting();
}

bool AtomicFile::open() {
    error_.clear();
    const QFileInfo info(path_);
    if (info.exists() && !info.isFile()) {
        fail(QStringLiteral("not a regular file"));
        return false;
    }
    errno = 0;
    // Unbuffered: each write reaches the temporary file at once, so a short write is seen by the
    // call that made it rather than lost in a flush at commit.
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        const QString dir = QDir::toNativeSeparators(info.absolutePath());
        fail(QStringLiteral("the folder %1 cannot be written (%2)")
                 .arg(dir, file_.errorString()));
        return false;
    }
    opened_ = true;
    return true;
}

bool AtomicFile::write(const QByteArray& bytes) {
    if (!error_.isEmpty())
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
            fail(systemErrorText(file_.errorString()));
            return false;
        }
        done += n;
    }
    return true;
}

bool AtomicFile::commit() {
    if (!error_.isEmpty())
        return false;
    if (!opened_) {
        fail(QStringLiteral("not open"));
        return false;
    }
    errno = 0;
    const bool ok = file_.commit(); // flushes, syncs and renames; removes the temporary on failure
    opened_ = false;
    if (!ok) {
        error_ = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path_),
                                              systemErrorText(file_.errorString()));
        return false;
    }
    return true;
}

void AtomicFile::cancel() {
    if (opened_)
        file_.cancelWriting();
    opened_ = false;
}

std::optional<QString> writeFileAtomically(const QString& path, const QByteArray& contents) {
    AtomicFile file(path);
    if (file.open() && file.write(contents) && file.commit())
        return std::nullopt;
    return file.error();
}

} // namespace kvt::files
