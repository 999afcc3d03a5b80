// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/Session.h"

#include <QStringList>
#include <memory>
#include <variant>

namespace kvt::cli {

// The command named by `words` (its name, subcommand and arguments), with its arguments read;
// the usage error otherwise.
std::variant<std::unique_ptr<Command>, QString> makeCommand(const QStringList& words, Session& session);

// The name of the command `words` name, as its results and errors give it ("config set", or
// "config" when the subcommand is missing or wrong); empty when they name no command.
QString commandName(const QStringList& words);

} // namespace kvt::cli
