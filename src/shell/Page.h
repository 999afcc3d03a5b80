#pragma once

#include <QWidget>
#include <optional>

namespace kvt {

struct AppContext;

// One page of the main window. The window asks the shown page what the poll sends and tells
// every page about poll ticks and language switches; it never reaches into a page's controls.
class Page : public QWidget {
    Q_OBJECT
public:
    Page(AppContext& context, const QString& objectName, QWidget* parent = nullptr);

    // The command the 200 ms poll sends while this page is shown; none by default.
    virtual std::optional<quint8> pollRequest() const { return std::nullopt; }
    // Called on every poll tick while a controller is connected, whichever page is shown.
    virtual void pollTick() {}
    // Called after the interface language changed (the translation stores have already applied
    // their entries): texts the page composes itself are rebuilt here.
    virtual void retranslate() {}

protected:
    AppContext& context_;
};

} // namespace kvt
