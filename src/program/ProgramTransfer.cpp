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

ProgramTransfer* ProgramTransfer::find(QWidget* mainWindow) {
    return mainWindow ? mainWindow->findChild<ProgramTransfer*>(QStringLiteral("ProgramTransfer")) : nullptr;
}

ProgressWindow* ProgramTransfer::progressWindow() {
    // The progress window is created after the main window and its pages.
    if (!window_ && context_.mainWindow)
        window_ = context_.mainWindow->findChild<ProgressWindow*>(QStringLiteral("TFormProgress"));
    return window_;
}

void ProgramTransfer::start(quint32 length) {
    store_.length = std::min<quint32>(length, program::ProgramCapacity);
    context_.link->send(program::beginSend(store_));
    if (ProgressWindow* window = progressWindow())
        window->begin(context_.text(QStringLiteral("IDS_138")), int(store_.length), true);
}

void ProgramTransfer::readBack() {
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
        if (window)
            window->finish(context_.text(QStringLiteral("IDS_104")));
        QApplication::beep();
        emit sent();
    }
}

void ProgramTransfer::takeLength(const Response& response) {
    const program::ReadBackStart start = readBack_.start(store_, response.bytes());
    emit readBackStarted();
    if (!start.fetch)
        return;
    if (ProgressWindow* window = progressWindow())
        window->begin(context_.text(QStringLiteral("IDS_105")), int(store_.length), false);
    context_.link->sendCode(op::ProgramReadNext);
}

void ProgramTransfer::takeRecord(const Response& response) {
    const program::ReadBackStep step = readBack_.take(store_, response.bytes());
    emit readBackStep(step);
    ProgressWindow* window = progressWindow();
    if (window)
        window->setProgress(step.index);
    if (step.askNext)
        context_.link->sendCode(op::ProgramReadNext);
    if (!step.complete)
        return;
    if (window)
        window->finish(context_.text(QStringLiteral("IDS_106")));
    emit readBackComplete();
}

} // namespace kvt
