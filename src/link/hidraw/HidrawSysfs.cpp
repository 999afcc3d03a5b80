// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/hidraw/HidrawSysfs.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace kvt {

std::optional<quint32> instanceFromHidDeviceName(QStringView name) {
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot < 0)
        return std::nullopt;
    const QStringView digits = name.mid(dot + 1);
    // toUInt accepts a sign and surrounding spaces; the kernel writes plain hexadecimal digits.
    if (digits.isEmpty() || digits.size() > 8)
        return std::nullopt;
    for (QChar c : digits) {
        if (!c.isDigit() && !(c.toLower() >= u'a' && c.toLower() <= u'f'))
            return std::nullopt;
    }
    bool ok = false;
    const uint value = digits.toUInt(&ok, 16);
    return ok ? std::optional<quint32>(value) : std::nullopt;
}

QList<HidDeviceInfo> uniqueByPath(const QList<HidDeviceInfo>& devices) {
    QList<HidDeviceInfo> unique;
    QSet<QString> seen;
    for (const HidDeviceInfo& device : devices) {
        if (!seen.contains(device.path)) {
            seen.insert(device.path);
            unique.append(device);
        }
    }
    return unique;
}

NodeAccess checkNodeAccess(const QString& path) {
    if (faccessat(AT_FDCWD, QFile::encodeName(path).constData(), R_OK | W_OK, AT_EACCESS) == 0)
        return NodeAccess::ReadWrite;
    return errno == ENOENT || errno == ENOTDIR ? NodeAccess::Missing : NodeAccess::Denied;
}

HidrawSysfs::HidrawSysfs(QString root) : root_(std::move(root)) {}

QString HidrawSysfs::deviceDir(const QString& devicePath) const {
    return root_ + u'/' + QFileInfo(devicePath).fileName() + QStringLiteral("/device");
}

bool HidrawSysfs::isHidrawNode(const QString& devicePath) const {
    struct stat node {};
    if (stat(QFile::encodeName(devicePath).constData(), &node) != 0 || !S_ISCHR(node.st_mode))
        return false;
    // The class entry of the node's name holds the device number a hidraw node has.
    QFile number(root_ + u'/' + QFileInfo(devicePath).fileName() + QStringLiteral("/dev"));
    if (!number.open(QIODevice::ReadOnly))
        return false;
    const QByteArray expected =
        QByteArray::number(major(node.st_rdev)) + ':' + QByteArray::number(minor(node.st_rdev));
    return number.readAll().trimmed() == expected;
}

std::optional<quint32> HidrawSysfs::instance(const QString& devicePath) const {
    const QString target = QFileInfo(deviceDir(devicePath)).symLinkTarget();
    if (target.isEmpty())
        return std::nullopt;
    return instanceFromHidDeviceName(QFileInfo(target).fileName());
}

std::optional<ReportLayout> HidrawSysfs::reportLayout(const QString& devicePath) const {
    QFile file(deviceDir(devicePath) + QStringLiteral("/report_descriptor"));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    return parseReportDescriptor(std::span(reinterpret_cast<const quint8*>(bytes.constData()),
                                           static_cast<std::size_t>(bytes.size())));
}

} // namespace kvt
