// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/PageTabs.h"

#include <QStackedWidget>

namespace kvt {

PageTabs::PageTabs(QWidget* parent) : QTabWidget(parent) {
    // The stack that holds the pages is given its real size once the tabs are shown. Until then
    // it has none, and a widget without a size is first sized to its contents when shown, which
    // would lay out every page; any size of its own avoids that.
    if (auto* stack = findChild<QStackedWidget*>(QString(), Qt::FindDirectChildrenOnly))
        stack->resize(1, 1);
}

QSize PageTabs::sizeHint() const {
    return fixed() ? minimumSize() : QTabWidget::sizeHint();
}

QSize PageTabs::minimumSizeHint() const {
    return fixed() ? minimumSize() : QTabWidget::minimumSizeHint();
}

} // namespace kvt
