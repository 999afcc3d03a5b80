// SPDX-License-Identifier: GPL-3.0-or-later
#include "program/ProgramTransfer.h"

#include "link/OpCode.h"
#include "link/Transport.h"
#include "program/ProgressWindow.h"
#include "shell/AppContext.h"

#include <QApplication>
#include <QWidget>
#include <algorithm>

namespace kvt {

ProgramTransfer::ProgramTransfer(AppContext& context, QObject* parent) : QObject(parent), context_(context) {
    setObjectName(QStringLiteral("ProgramTransfer"));
    context_.link->subscribe(op::ProgramRecord, this, [this](const Response& r) { answerRequest(r); });
    context_.link->subscribe(op::ProgramReadLength, this, [this](const Response& r) { takeLength(r); });
    context_.link->subscribe(op::ProgramReadNext, this, [this](const Response& r) { takeRecord(r); });
}

void ProgramTransfer::setProgressWindow(ProgressWindow* window) {
    window_ = window;
    if (window_)
        connect(window_, &QDialog::finished, this, [this] {
            if (exchange_ == Exchange::Send)
                exchange_ = Exchange::None;
        });
}

ProgressWindow* ProgramTransfer::progressWindow() const {
    return window_;
}

void ProgramTransfer::start(quint32 length) {
    store_.length = std::min<quint32>(length, program::ProgramCapacity);
    store_.received = store_.length; // a program given whole
    context_.link->send(program::beginSend(store_));
    if (ProgressWindow* window = progressWindow())
        window->begin(context_.text(QStringLiteral("IDS_138")), int(store_.length), true);
    // Set after the window is shown: hiding a read-back's window on the way is no end of a send.
    exchange_ = Exchange::Send;
}

void ProgramTransfer::readBack() {
    if (exchange_ == Exchange::Send)
        return;
    context_.link->sendCode(op::ProgramReadLength);
}

void ProgramTransfer::answerRequest(const Response& response) {
    const program::SendStep step = program::answerRequest(store_, response.bytes());
    if (step.kind == program::SendStep::Ignored)
        return;
    if (step.kind == program::SendStep::Answered)
        context_.link->send(step.command);
    ProgressWindow* window = progressWindow();
    if (window)
        window->setProgress(step.index);
    if (step.kind == program::SendStep::Complete) {
        if (exchange_ == Exchange::Send)
            exchange_ = Exchange::None;
        if (window)
            window->finish(context_.text(QStringLiteral("IDS_104")));
        QApplication::beep();
        emit sent();
    }
}

void ProgramTransfer::takeLength(const Response& response) {
    // A length report during a send (one nobody asked for) must not change the program being
    // sent nor take over its window.
    if (exchange_ == Exchange::Send)
        return;
    const program::ReadBackStart start = readBack_.start(store_, response.bytes());
    emit readBackStarted();
    exchange_ = start.fetch ? Exchange::ReadBack : Exchange::None;
    if (!start.fetch)
        return;
    if (ProgressWindow* window = progressWindow())
        window->begin(context_.text(QStringLiteral("IDS_105")), int(store_.length), false);
    context_.link->sendCode(op::ProgramReadNext);
}

void ProgramTransfer::takeRecord(const Response& response) {
    // Records are taken only into a read-back under way: not into a program being sent, nor
    // after the read-back has ended.
    if (exchange_ != Exchange::ReadBack)
        return;
    const program::ReadBackStep step = readBack_.take(store_, response.bytes());
    emit readBackStep(step);
    ProgressWindow* window = progressWindow();
    if (window)
        window->setProgress(step.index);
    if (step.askNext)
        context_.link->sendCode(op::ProgramReadNext);
    if (!step.complete)
        return;
    exchange_ = Exchange::None;
    if (window)
        window->finish(context_.text(QStringLiteral("IDS_106")));
    emit readBackComplete();
}

} // namespace kvt
