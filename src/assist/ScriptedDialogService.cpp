// SPDX-License-Identifier: GPL-3.0-or-later
#include "assist/ScriptedDialogService.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace kvt {

namespace {
QString kindOf(DialogService::Icon icon) {
    switch (icon) {
    case DialogService::Icon::Information:
        return QStringLiteral("information");
    case DialogService::Icon::Warning:
        return QStringLiteral("warning");
    case DialogService::Icon::Question:
        return QStringLiteral("question");
    case DialogService::Icon::Error:
        return QStringLiteral("error");
    }
    return {};
}
} // namespace

void ScriptedDialogService::post(QWidget* parent, std::function<void()> continuation) {
    ++*pending_;
    // The box's parent is the context: a continuation whose window is gone is dropped with it,
    // and still stops counting as pending.
    QObject* context = parent ? static_cast<QObject*>(parent) : QCoreApplication::instance();
    auto* token = new QObject(context);
    auto done = std::make_shared<bool>(false);
    auto pending = pending_;
    QObject::connect(token, &QObject::destroyed, [pending, done] {
        if (!*done)
            --*pending;
    });
    QMetaObject::invokeMethod(
        token,
        [token, pending, done, continuation = std::move(continuation)] {
            *done = true;
            --*pending;
            token->deleteLater();
            continuation();
        },
        Qt::QueuedConnection);
}

void ScriptedDialogService::message(QWidget* parent, Icon icon, const QString& text, const QString& caption,
                                    Buttons buttons, std::function<void(bool ok)> then) {
    shown_.append({kindOf(icon), text, caption});
    const bool choice = buttons == Buttons::OkCancel;
    if (holding_) {
        open_.emplace_back(parent, [then = std::move(then)](bool ok) {
            if (then)
                then(ok);
        });
        return;
    }
    const bool ok = choice && !answers_.isEmpty() ? answers_.dequeue() : true;
    if (then)
        post(parent, [then = std::move(then), ok] { then(ok); });
}

bool ScriptedDialogService::closeOldest(bool ok) {
    if (open_.empty())
        return false;
    auto [parent, close] = std::move(open_.front());
    open_.pop_front();
    post(parent, [close = std::move(close), ok] { close(ok); });
    return true;
}

void ScriptedDialogService::openFile(QWidget* parent, const FileRequest& request,
                                     std::function<void(QString path)> then) {
    shown_.append({QStringLiteral("open"), request.filter, request.caption});
    const QString path = files_.isEmpty() ? QString() : files_.dequeue();
    if (then)
        post(parent, [then = std::move(then), path] { then(path); });
}

void ScriptedDialogService::saveFile(QWidget* parent, const FileRequest& request,
                                     std::function<void(QString path)> then) {
    shown_.append({QStringLiteral("save"), request.filter, request.caption});
    const QString path = files_.isEmpty() ? QString() : files_.dequeue();
    if (then)
        post(parent, [then = std::move(then), path] { then(path); });
}

} // namespace kvt
