// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/ControllerLink.h"
#include "cli/Exit.h"
#include "cli/Options.h"
#include "cli/Output.h"
#include "cli/Texts.h"
#include "link/Model.h"

#include <QObject>
#include <memory>
#include <optional>

namespace kvt {
class HidBackend;
class HidDeviceManager;
} // namespace kvt

namespace kvt::cli {

class Command;

// One run of kvtctl: the device layer over the backend, the controller the command talks to
// (only that one is opened) and the way the run ends. The event loop runs until finish().
class Session : public QObject {
    Q_OBJECT
public:
    Session(GlobalOptions options, const Output& out, Texts tr, HidBackend& backend);
    ~Session() override;

    const GlobalOptions& options() const { return options_; }
    const Output& out() const { return out_; }
    const Texts& tr() const { return tr_; }
    HidDeviceManager& manager() { return *manager_; }

    // Runs `command` as soon as the devices present are known.
    void start(Command* command);
    // Ends the run with `exit`; later calls change nothing.
    void finish(Exit exit);
    // Prints the failure as one line (and its document, with `fields`), then ends the run with
    // its code.
    void fail(const Failure& failure, const QJsonObject& fields = {});
    bool finished() const { return finished_; }
    Exit exit() const { return exit_; }

    // Ctrl-C or a termination request: the command decides how it ends.
    void interrupt();

    // The message of an answer that did not come.
    Failure lostAnswer(const ControllerLink::Lost& lost) const;

private:
    void devicesListed();
    void openController();

    GlobalOptions options_;
    const Output& out_;
    Texts tr_;
    std::unique_ptr<HidDeviceManager> manager_;
    std::unique_ptr<ControllerLink> link_;
    Command* command_ = nullptr;
    bool listed_ = false;
    bool finished_ = false;
    Exit exit_ = Exit::Ok;
};

// One command of kvtctl. It starts once its controller is open (or, for a command that needs
// none, once the devices are listed) and ends the run through the session.
class Command : public QObject {
    Q_OBJECT
public:
    explicit Command(Session& session) : session_(session), tr_(session.tr()) {}

    // "config set", as errors name it.
    virtual QString name() const = 0;
    virtual bool needsController() const { return true; }
    // `link` and `model` are set when the command needs a controller.
    virtual void start(ControllerLink* link, std::optional<Model> model) = 0;
    // Default: the run ends as interrupted.
    virtual void interrupt();

protected:
    // One result document of this command (JSON mode); the run goes on, as between the samples
    // of status --watch.
    void report(const QJsonObject& fields) { out().report(name(), fields); }
    // The result document, then the end of the run with success.
    void succeed(const QJsonObject& fields) {
        report(fields);
        session_.finish(Exit::Ok);
    }
    // The failure's line and its document carrying `fields`, then the end of the run.
    void fail(Exit exit, const QString& message, const QJsonObject& fields = {}) {
        session_.fail({exit, message}, fields);
    }
    const Output& out() const { return session_.out(); }

    Session& session_;
    const Texts& tr_;
};

} // namespace kvt::cli
