// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/ControllerLink.h"
#include "cli/Session.h"
#include "link/HidBackend.h"

#include <QList>
#include <memory>

namespace kvt::cli {

class ArgReader;

// list: every HID device present; each supported controller that can be opened is asked for its
// identity (100), all at once.
class ListCommand : public Command {
    Q_OBJECT
public:
    ListCommand(Session& session, ArgReader& args);
    QString name() const override { return QStringLiteral("list"); }
    bool needsController() const override { return false; }
    void start(ControllerLink* link, std::optional<Model> model) override;

private:
    struct Entry {
        HidDeviceInfo info;
        HidDevice* device = nullptr; // checked out while its identity is asked for
        std::unique_ptr<ControllerLink> link;
        bool asked = false;
        bool answered = false;
        float firmware = 0;
        QString deviceText;
    };
    void answered();
    void print();

    QList<std::shared_ptr<Entry>> entries_;
    int waiting_ = 0;
};

} // namespace kvt::cli
