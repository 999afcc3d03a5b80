#pragma once

#include "cli/Session.h"

#include <QStringList>
#include <memory>
#include <variant>

namespace kvt::cli {

// The command named by `words` (its name, subcommand and arguments), with its arguments read;
// the usage error otherwise.
std::variant<std::unique_ptr<Command>, QString> makeCommand(const QStringList& words, Session& session);

} // namespace kvt::cli
