// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/Page.h"

namespace kvt {

Page::Page(AppContext& context, const QString& objectName, QWidget* parent)
    : QWidget(parent), context_(context) {
    setObjectName(objectName);
}

bool Page::ensureBuilt() {
    if (built_)
        return false;
    built_ = true;
    if (!isVisible()) {
        buildContent();
        return true; // shown with the page later
    }
    // Widgets made under a shown parent stay hidden until shown themselves, while showing a
    // parent shows every child not hidden on purpose: so the page is built hidden and shown
    // again, which keeps what the build hid hidden. Nothing is painted in between.
    setUpdatesEnabled(false);
    hide();
    buildContent();
    show();
    setUpdatesEnabled(true);
    return true;
}

} // namespace kvt
