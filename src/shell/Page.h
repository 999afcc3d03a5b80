// SPDX-License-Identifier: GPL-3.0-or-later
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
    // When a page gets its controls: as it is made, or at the first ensureBuilt() (the window
    // paints the shown page first and builds the hidden ones right after).
    enum class Build { Now, Later };

    Page(AppContext& context, const QString& objectName, QWidget* parent = nullptr);

    // Builds the page's controls unless they exist already (true when it built them now). A page
    // that is shown by then shows them at once.
    bool ensureBuilt();

    // The command the 200 ms poll sends while this page is shown; none by default.
    virtual std::optional<quint8> pollRequest() const { return std::nullopt; }
    // Called on every poll tick while a controller is connected, whichever page is shown.
    virtual void pollTick() {}
    // Called after the interface language changed (the translation stores have already applied
    // their entries): texts the page composes itself are rebuilt here.
    virtual void retranslate() {}

protected:
    // Creates the page's controls and connects their handlers; runs once, from ensureBuilt().
    virtual void buildContent() {}

    AppContext& context_;

private:
    bool built_ = false;
};

} // namespace kvt
