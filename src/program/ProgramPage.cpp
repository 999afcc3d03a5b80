#include "program/ProgramPage.h"

#include "link/OpCode.h"

namespace kvt {

ProgramPage::ProgramPage(AppContext& context, QWidget* parent)
    : Page(context, QStringLiteral("TabSheet5"), parent) {}

std::optional<quint8> ProgramPage::pollRequest() const {
    return op::ProgramRunState;
}

} // namespace kvt
