// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/Page.h"

#include "shell/AppContext.h"
#include "shell/AppState.h"
#include "shell/Widgets.h"

namespace kvt {

Page::Page(AppContext& context, const QString& objectName, QWidget* parent)
    : QWidget(parent), context_(context) {
    setObjectName(objectName);
    // The unit labels of every page follow the unit chosen.
    if (context_.state)
        connect(context_.state, &AppState::unitApplied, this, [this](const QString& unit) {
            if (!unit.isEmpty())
                applyOwnTexts(control::unitLabels(unit));
        });
}

void Page::adaptToModel(const control::ModelProfile& profile) {
    ensureBuilt(); // the controls must exist to show the model
    applyOwnTexts(control::modelUnitLabels(profile));
    applyModelProfile(profile);
}

bool Page::ensureBuilt() {
    if (built_)
        return false;
    built_ = true;
    if (!isVisible()) {
        buildContent();
        return true; // shown with the page later
    }
    // Widgets made under a shown parent stay hidden until shown themselves, while showing a
    // parent shows every child not hidden on purpose: so the page is built hidden and shown
    // again, which keeps what the build hid hidden. Nothing is painted in between.
    setUpdatesEnabled(false);
    hide();
    buildContent();
    show();
    setUpdatesEnabled(true);
    return true;
}

void Page::applyOwnTexts(const QList<control::ControlText>& texts) {
    for (const control::ControlText& t : texts) {
        if (auto* w = findChild<QWidget*>(t.objectName))
            setControlText(w, t.text);
    }
}

} // namespace kvt
