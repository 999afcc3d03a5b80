#include "config/ConfigPage.h"

#include "link/OpCode.h"
#include "link/Transport.h"
#include "shell/AppContext.h"

#include <QPushButton>

namespace kvt {

ConfigPage::ConfigPage(AppContext& context, QWidget* parent)
    : Page(context, QStringLiteral("TabSheet3"), parent) {
    btn_Reconnect = new QPushButton(QStringLiteral("Odczytaj"), this);
    btn_Reconnect->setObjectName(QStringLiteral("btn_Reconnect"));
    btn_Reconnect->setGeometry(488, 440, 88, 28);
    // Asks the controller for its identity and configuration again.
    connect(btn_Reconnect, &QPushButton::clicked, this, [this] {
        context_.link->sendCode(op::Identity);
        context_.link->sendCode(op::Configuration);
    });
}

} // namespace kvt
