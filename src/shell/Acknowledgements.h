// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QObject>

namespace kvt {

struct AppContext;

// The controller's acknowledgements: each shows its text in status panel 0, some also a message
// box, and a few ask for the identity and configuration again once the box is closed — but only
// while the controller that sent the acknowledgement is still the active one.
//
// At most one box per acknowledgement code is open at a time: a repeat that arrives while its
// box is still open only sets the status panel, and is remembered as the one the box now stands
// for. Closing the box sends the follow-ups once, and only while the controller that sent the
// latest of those acknowledgements is still the active one. A faulty controller that floods
// acknowledgements thus opens at most as many boxes as there are codes with a box.
class Acknowledgements : public QObject {
    Q_OBJECT
public:
    explicit Acknowledgements(AppContext& context, QObject* parent = nullptr);

private:
    AppContext& context_;
    // Codes whose box is open, each with the active controller when its latest acknowledgement
    // arrived (0: none was active).
    QHash<quint8, quint32> openBoxes_;
};

} // namespace kvt
