// The entry points of the trend window's module (kvt-revizareduva-trend.so), which the program
// loads when the window is first opened. The program's own symbols (the link, the shared state,
// the poll) are exported by the executable, so the window works on the program's objects.

#include "trend/TrendView.h"
#include "trend/TrendWindow.h"

#include <type_traits>

extern "C" {

Q_DECL_EXPORT const char* kvt_trend_interface() {
    static const QByteArray tag = kvt::trend::interfaceTag();
    return tag.constData();
}

Q_DECL_EXPORT kvt::trend::TrendView* kvt_trend_create_view(kvt::AppContext& context, kvt::Poller& poller,
                                                           QWidget* parent) {
    return kvt::trend::TrendWindow::create(context, poller, parent);
}
}

// The types must agree with what the program looks up.
static_assert(std::is_same_v<decltype(&kvt_trend_create_view), kvt::trend::CreateView>);
static_assert(std::is_same_v<decltype(&kvt_trend_interface), kvt::trend::InterfaceOf>);
