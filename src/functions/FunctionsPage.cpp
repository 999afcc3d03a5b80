#include "functions/FunctionsPage.h"

namespace kvt {

FunctionsPage::FunctionsPage(AppContext& context, QWidget* parent) : QWidget(parent), context_(context) {
    setObjectName(QStringLiteral("TabSheet1"));
}

} // namespace kvt
