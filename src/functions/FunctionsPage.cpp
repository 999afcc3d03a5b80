#include "functions/FunctionsPage.h"

namespace kvt {

FunctionsPage::FunctionsPage(AppContext& context, QWidget* parent)
    : Page(context, QStringLiteral("TabSheet1"), parent) {}

} // namespace kvt
