// SPDX-License-Identifier: GPL-3.0-or-later
#include "assist/Components.h"

#include <QApplication>
#include <QComboBox>
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

    // What the cache keeps is searched for again once it is gone, never handed out dangling;
    // searches for one name by different types are kept apart.
    void cacheFollowsDestroyedComponents() {
        QWidget window;
        QWidget* first = named(new QComboBox(&window), "ComboBox_Units");
        ComponentCache cache;
        int searches = 0;
        const auto find = [&](const QMetaObject* type) {
            return cache.find(
                QStringLiteral("ComboBox_Units"),
                [&] {
                    ++searches;
                    return window.findChild<QObject*>(QStringLiteral("ComboBox_Units"));
                },
                type);
        };
        QCOMPARE(find(&QComboBox::staticMetaObject), first);
        QCOMPARE(find(&QComboBox::staticMetaObject), first);
        QCOMPARE(searches, 1);
        QCOMPARE(find(&QWidget::staticMetaObject), first);
        QCOMPARE(searches, 2);

        delete first;
        QWidget* second = named(new QComboBox(&window), "ComboBox_Units");
        QCOMPARE(find(&QComboBox::staticMetaObject), second);
        delete second;
        QCOMPARE(find(&QComboBox::staticMetaObject), nullptr);
        QCOMPARE(searches, 4);
    }
};

QTEST_MAIN(TestComponents)
#include "test_components.moc"
