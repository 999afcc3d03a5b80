#include "shell/Page.h"

namespace kvt {

Page::Page(AppContext& context, const QString& objectName, QWidget* parent)
    : QWidget(parent), context_(context) {
    setObjectName(objectName);
}

} // namespace kvt
