// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "control/core/ModelProfile.h"

#include <QStringList>
#include <QWidget>
#include <optional>

namespace kvt {

struct AppContext;

// One page of the main window. The window asks the shown page what the poll sends and tells
// every page about poll ticks, language switches and the connected model; it never reaches into
// a page's controls. Pages share state through AppState and the typed connections the window
// makes; none looks up another page's control.
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
    // Shows a model that has just connected: its own texts of the unit labels, then the facts
    // applyModelProfile shows.
    void adaptToModel(const control::ModelProfile& profile);
    // The help panel's text while the page is shown; empty: the panel keeps what it shows.
    virtual QString helpKey() const { return {}; }
    // Whether a controller's connection enables the page.
    virtual bool enabledByConnection() const { return true; }

signals:
    // Lines for the main window's help panel.
    void helpRequested(const QStringList& lines);

protected:
    // Creates the page's controls and connects their handlers; runs once, from ensureBuilt().
    virtual void buildContent() {}
    // Shows the facts of a model that has just connected on the page's own controls.
    virtual void applyModelProfile(const control::ModelProfile& profile) { Q_UNUSED(profile) }
    // Writes each text of `texts` that names a control of this page; the others belong to other
    // pages, which write their own.
    void applyOwnTexts(const QList<control::ControlText>& texts);

    AppContext& context_;

private:
    bool built_ = false;
};

} // namespace kvt
