// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "program/core/ProgramStore.h"
#include "program/core/ProgramTransfer.h"

#include <QObject>
#include <QPointer>

namespace kvt {

struct AppContext;
class ProgressWindow;
struct Response;

// The program store of the application and its two exchanges with the controller, shown in the
// progress window. The controller drives both: it asks for each command of a send (response
// 230), and answers each request of a read-back (responses 103 and 104). Requests are answered
// whenever they come, whether or not the progress window is still open.
//
// The Program page owns it; a page that builds a program itself is given it, fills
// store().commands and calls start(length).
class ProgramTransfer : public QObject {
    Q_OBJECT
public:
    ProgramTransfer(AppContext& context, QObject* parent);

    program::ProgramStore& store() { return store_; }
    const program::ProgramStore& store() const { return store_; }

    // Sends the first `length` commands of the store (at most 300): command 229, then the
    // progress window, modal over the main window with OK disabled, until the controller has
    // asked for them all. A read-back still under way is abandoned: its later replies are not
    // taken, so the store sent is the one given.
    void start(quint32 length);
    // Starts a read-back of the controller's program (command 103); nothing while a send is
    // under way.
    void readBack();

    // One exchange at a time. A send lasts until the controller asked past the last command or
    // the user closed its window; a read-back from the length report to its last record.
    enum class Exchange { None, Send, ReadBack };
    Exchange exchange() const { return exchange_; }

    // The window the exchanges show their progress in (created after the main window). Closing
    // it ends the wait for a send; requests that come later are still answered.
    void setProgressWindow(ProgressWindow* window);

signals:
    // A send is complete: the controller asked past the last command.
    void sent();
    // A read-back reported its length: the listing is about to be rebuilt.
    void readBackStarted();
    // One record of a read-back arrived.
    void readBackStep(const kvt::program::ReadBackStep& step);
    // The read-back is complete: the store holds the controller's program.
    void readBackComplete();

private:
    void answerRequest(const Response& response);
    void takeLength(const Response& response);
    void takeRecord(const Response& response);
    ProgressWindow* progressWindow() const;

    AppContext& context_;
    program::ProgramStore store_;
    program::ReadBack readBack_;
    QPointer<ProgressWindow> window_;
    Exchange exchange_ = Exchange::None;
};

} // namespace kvt
