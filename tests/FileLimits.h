// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Ways to make a save fail in tests: a file-size limit, a small file system that fills up and a
// folder that cannot be written. Linux only.

#include "TestFiles.h"

#include <QDir>
#include <QString>
#include <QTemporaryDir>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <memory>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

namespace testing {

// While it lives, files this process writes cannot grow past `bytes`: a write beyond fails with
// EFBIG (SIGXFSZ ignored), as one onto a full disk fails with ENOSPC.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &previous_);
        rlimit limit = previous_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit previous_{};
    void (*previousHandler_)(int) = SIG_DFL;
};

// A tmpfs of `bytes` on a temporary folder, unmounted at the end. Mounting needs the right to
// (root, or a user namespace); mounted() is false otherwise and whyNot() says why.
class TmpfsMount {
public:
    explicit TmpfsMount(qint64 bytes, bool readOnly = false) {
        const QByteArray target = QFile::encodeName(dir_.path());
        const QByteArray options = "size=" + QByteArray::number(bytes);
        if (::mount("tmpfs", target.constData(), "tmpfs", 0, options.constData()) != 0) {
            whyNot_ = QStringLiteral("mounting a tmpfs is not permitted here: %1")
                          .arg(QString::fromLocal8Bit(std::strerror(errno)));
            return;
        }
        mounted_ = true;
        if (readOnly && !remountReadOnly())
            whyNot_ = QStringLiteral("remounting a tmpfs read-only failed");
    }
    ~TmpfsMount() {
        if (mounted_)
            ::umount2(QFile::encodeName(dir_.path()).constData(), MNT_DETACH);
    }
    TmpfsMount(const TmpfsMount&) = delete;
    TmpfsMount& operator=(const TmpfsMount&) = delete;

    bool mounted() const { return mounted_ && whyNot_.isEmpty(); }
    const QString& whyNot() const { return whyNot_; }
    QString path() const { return dir_.path(); }
    QString filePath(const QString& name) const { return dir_.filePath(name); }
    bool remountReadOnly() {
        return ::mount("tmpfs", QFile::encodeName(dir_.path()).constData(), "tmpfs", MS_REMOUNT | MS_RDONLY,
                       nullptr) == 0;
    }

private:
    QTemporaryDir dir_;
    bool mounted_ = false;
    QString whyNot_;
};

// A folder holding "a.bin" ("old contents") where no file can be created. Folder permissions do
// not bind the superuser, so for root the folder is a tmpfs mounted read-only.
class ReadOnlyFolder {
public:
    ReadOnlyFolder() {
        if (::geteuid() != 0) {
            writeAll(dir_.filePath(QStringLiteral("a.bin")), "old contents");
            QFile::setPermissions(dir_.path(), QFile::ReadOwner | QFile::ExeOwner);
            return;
        }
        mount_ = std::make_unique<TmpfsMount>(64 * 1024);
        if (!mount_->mounted()) {
            whyNot_ = mount_->whyNot();
            return;
        }
        writeAll(mount_->filePath(QStringLiteral("a.bin")), "old contents");
        if (!mount_->remountReadOnly())
            whyNot_ = QStringLiteral("remounting a tmpfs read-only failed");
    }
    ~ReadOnlyFolder() {
        if (!mount_)
            QFile::setPermissions(dir_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    ReadOnlyFolder(const ReadOnlyFolder&) = delete;
    ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;

    bool ready() const { return whyNot_.isEmpty(); }
    const QString& whyNot() const { return whyNot_; }
    QString filePath(const QString& name) const { return mount_ ? mount_->filePath(name) : dir_.filePath(name); }

private:
    QTemporaryDir dir_;
    std::unique_ptr<TmpfsMount> mount_;
    QString whyNot_;
};

} // namespace testing
