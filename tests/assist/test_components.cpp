// SPDX-License-Identifier: GPL-3.0-or-later
#include "assist/Components.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QTest>

using namespace kvt;

namespace {

QWidget* named(QWidget* w, const char* name) {
    w->setObjectName(QLatin1String(name));
    return w;
}

} // namespace

class TestComponents : public QObject {
    Q_OBJECT

private slots:
    // A secondary window owned by the main window may use the same names; only the window's
    // own component is found.
    void ownComponentsOnly() {
        QWidget window;
        auto* dialog = new QDialog(&window);
        QWidget* foreign = named(new QLineEdit(dialog), "Edit_Value");
        QWidget* own = named(new QLineEdit(new QWidget(&window)), "Edit_Value");
        QCOMPARE(findComponent(&window, QStringLiteral("Edit_Value")), own);
        QCOMPARE(findComponent(dialog, QStringLiteral("Edit_Value")), foreign);
        QCOMPARE(findComponent(&window, QString()), nullptr);
    }
};

QTEST_MAIN(TestComponents)
#include "test_components.moc"
