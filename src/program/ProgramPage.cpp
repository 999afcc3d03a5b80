#include "program/ProgramPage.h"

namespace kvt {

ProgramPage::ProgramPage(AppContext& context, QWidget* parent) : QWidget(parent), context_(context) {
    setObjectName(QStringLiteral("TabSheet5"));
}

} // namespace kvt
