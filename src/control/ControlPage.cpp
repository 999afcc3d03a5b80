#include "control/ControlPage.h"

namespace kvt {

ControlPage::ControlPage(AppContext& context, QWidget* parent) : QWidget(parent), context_(context) {
    setObjectName(QStringLiteral("TabSheet4"));
}

} // namespace kvt
