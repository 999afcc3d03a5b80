// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/SimStateFile.h"

#include "sim/SimBackend.h"
#include "sim/SimController.h"
#include "format/core/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>

namespace kvt::sim {

namespace {
const QString FormatKey = QStringLiteral("format");
const QString FormatName = QStringLiteral("kvt-simulated-controllers/1");
const QString ControllersKey = QStringLiteral("controllers");
} // namespace

SimStateFile::SimStateFile(QString path) : path_(std::move(path)) {}

std::optional<QString> SimStateFile::refusal() const {
    // Only a regular file of a sane size: a pipe would block the start until a writer came, a
    // device such as /dev/zero would be read without end.
    const QFileInfo info(path_);
    if (!info.exists())
        return std::nullopt;
    if (!info.isFile())
        return QStringLiteral("%1 is not a regular file").arg(path_);
    if (info.size() > MaxFileSize)
        return QStringLiteral("%1 is larger than %2 bytes: not a state file of simulated controllers")
            .arg(path_)
            .arg(MaxFileSize);
    return std::nullopt;
}

SimStateFile::~SimStateFile() = default;

std::optional<QString> SimStateFile::lock(int timeoutMs) {
    if (std::optional<QString> refused = refusal())
        return refused;
    if (!QDir().mkpath(QFileInfo(path_).absolutePath()))
        return QStringLiteral("cannot create the folder of %1").arg(path_);
    lock_ = std::make_unique<QLockFile>(path_ + QStringLiteral(".lock"));
    lock_->setStaleLockTime(60000);
    if (!lock_->tryLock(timeoutMs)) {
        lock_.reset();
        return QStringLiteral("%1 is in use by another run").arg(path_);
    }
    return std::nullopt;
}

std::optional<QString> SimStateFile::load() {
    controllers_ = {};
    if (std::optional<QString> refused = refusal())
        return refused;
    QFile file(path_);
    if (!file.exists())
        return std::nullopt;
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("cannot read %1: %2").arg(path_, file.errorString());
    // One byte more than allowed tells a file that grew since its size was taken.
    const QByteArray bytes = file.read(MaxFileSize + 1);
    if (file.error() != QFileDevice::NoError)
        return QStringLiteral("cannot read %1: %2").arg(path_, file.errorString());
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (bytes.size() > MaxFileSize || error.error != QJsonParseError::NoError || !document.isObject() ||
        document.object().value(FormatKey).toString() != FormatName)
        return QStringLiteral("%1 is not a state file of simulated controllers").arg(path_);
    controllers_ = document.object().value(ControllersKey).toObject();
    return std::nullopt;
}

std::optional<QString> SimStateFile::save() const {
    if (!QDir().mkpath(QFileInfo(path_).absolutePath()))
        return QStringLiteral("cannot create the folder of %1").arg(path_);
    QJsonObject root;
    root.insert(FormatKey, FormatName);
    root.insert(ControllersKey, controllers_);
    const QByteArray bytes = QJsonDocument(root).toJson(QJsonDocument::Indented);
    files::AtomicFile file(path_);
    if (!file.open() || !file.write(bytes) || !file.commit())
        return QStringLiteral("cannot write %1: %2").arg(path_, file.reason());
    return std::nullopt;
}

std::optional<SimMemory> SimStateFile::memory(const QString& serial, const SimMemory& fallback) const {
    const QJsonValue entry = controllers_.value(serial);
    if (!entry.isObject())
        return std::nullopt;
    std::optional<SimMemory> memory = memoryFromJson(entry.toObject(), fallback);
    if (!memory || memory->model != fallback.model)
        return std::nullopt;
    return memory;
}

void SimStateFile::setMemory(const QString& serial, const SimMemory& memory) {
    controllers_.insert(serial, toJson(memory));
}

void SimStateFile::restoreInto(SimBackend& backend, const QList<int>& ids) const {
    for (const int id : ids) {
        SimController* controller = backend.controller(id);
        if (!controller)
            continue;
        if (const std::optional<SimMemory> kept = memory(backend.info(id).serial, controller->memory()))
            controller->restoreMemory(*kept);
    }
}

void SimStateFile::storeFrom(SimBackend& backend, const QList<int>& ids) {
    for (const int id : ids) {
        if (SimController* controller = backend.controller(id))
            setMemory(backend.info(id).serial, controller->memory());
    }
}

} // namespace kvt::sim
