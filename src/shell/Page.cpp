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
    buildContent();
    if (!isVisible())
        return true; // shown with the page later
    // Widgets made under a shown parent stay hidden until shown themselves.
    for (QObject* child : children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (widget && !widget->isWindow() &&
            !(widget->isHidden() && widget->testAttribute(Qt::WA_WState_ExplicitShowHide)))
            widget->show();
    }
    return true;
}

} // namespace kvt
