#pragma once

#include <QObject>

namespace kvt {

struct AppContext;

// The controller's acknowledgements: each shows its text in status panel 0, some also a message
// box, and a few ask for the identity and configuration again once the box is closed — but only
// while the controller that sent the acknowledgement is still the active one.
class Acknowledgements : public QObject {
    Q_OBJECT
public:
    explicit Acknowledgements(AppContext& context, QObject* parent = nullptr);

private:
    AppContext& context_;
};

} // namespace kvt
