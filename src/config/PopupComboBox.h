// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QComboBox>

namespace kvt {

// A drop-down list that tells when the user opens it, so the page can put a help text in the
// help panel while the entries are shown.
class PopupComboBox : public QComboBox {
    Q_OBJECT
public:
    using QComboBox::QComboBox;

    void showPopup() override {
        emit popupOpened();
        QComboBox::showPopup();
    }

signals:
    void popupOpened();
};

} // namespace kvt
