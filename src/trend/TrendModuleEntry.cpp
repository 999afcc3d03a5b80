// SPDX-License-Identifier: GPL-3.0-or-later
// The entry points of the trend window's module (kvt-revizareduva-trend.so), which the program
// loads when the window is first opened. The program's own symbols (the link, the shared state,
// the poll) are exported by the executable, so the window works on the program's objects.

#include "trend/TrendView.h"
#include "trend/TrendWindow.h"

#include <type_traits>

extern "C" {

// The names are the symbols the program looks up, so they follow C, not this project's style.
Q_DECL_EXPORT const char* kvt_trend_interface() { // NOLINT(readability-identifier-naming)
    static const QByteArray Tag = kvt::trend::interfaceTag();
    return Tag.constData();
}

// NOLINTNEXTLINE(readability-identifier-naming)
Q_DECL_EXPORT kvt::trend::TrendView* kvt_trend_create_view(kvt::AppContext& context, kvt::Poller& poller,
                                                           QWidget* parent) {
    return kvt::trend::TrendWindow::create(context, poller, parent);
}
}

// The types must agree with what the program looks up.
static_assert(std::is_same_v<decltype(&kvt_trend_create_view), kvt::trend::CreateView>);
static_assert(std::is_same_v<decltype(&kvt_trend_interface), kvt::trend::InterfaceOf>);
