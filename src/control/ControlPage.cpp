#include "control/ControlPage.h"

#include "link/OpCode.h"

namespace kvt {

ControlPage::ControlPage(AppContext& context, QWidget* parent)
    : Page(context, QStringLiteral("TabSheet4"), parent) {}

std::optional<quint8> ControlPage::pollRequest() const {
    return op::LiveStatus;
}

} // namespace kvt
