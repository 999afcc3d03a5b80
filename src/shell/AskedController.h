// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

class QWidget;

namespace kvt {

struct AppContext;

// The controller a question was asked about. A command confirmed in a box goes only to the
// controller that was active when the box opened: if another one (or none) is active when the
// answer comes, nothing is sent and the user is told so.
class AskedController {
public:
    explicit AskedController(const AppContext& context);

    // True when the controller asked about is still the active one. Otherwise false, after a
    // warning box over `parent` saying that nothing was sent.
    bool stillActive(const AppContext& context, QWidget* parent) const;

private:
    quint32 instance_ = 0; // 0: none was active
};

} // namespace kvt
