#include "TestGuards.h"

#include "widgets/CWidgetList.h"

#include <QtTest>

using namespace XP;

namespace {

QWidget* fixedWidget(int width, int height)
{
    auto* widget = new QWidget;
    widget->setFixedSize(width, height);
    return widget;
}

} // namespace

class TestWidgetList : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { tds::failOnUnexpectedWarnings(); }

    void placesFixedItemsWithMarginsSpacingAndAnchors()
    {
        CWidgetList list(Qt::Horizontal, nullptr);
        list.setMargin(10, 5, 10, 5);
        list.setSpacing(4);
        QWidget* centred = fixedWidget(20, 10);
        auto* filling = new QWidget;
        filling->setFixedWidth(30);
        QWidget* atEnd = fixedWidget(16, 16);
        QWidget* atStart = fixedWidget(16, 16);
        list.addFixedWidget(centred, CWidgetList::eAnchorCenter, true);
        list.addFixedWidget(filling, CWidgetList::eAnchorFill, true);
        list.addFixedSpace(6);
        list.addFixedWidget(atEnd, CWidgetList::eAnchorEnd, true);
        list.addFixedWidget(atStart, CWidgetList::eAnchorStart, true);
        auto* stretched = new QWidget;
        list.addStretchWidget(stretched, 1, CWidgetList::eAnchorFill, false);
        list.addStretchSpace(2);

        list.resize(200, 40);
        list.show();

        // A space gets no spacing; stretch items share the rest by their factors; the stretched widget is
        // left out of the size hint.
        QCOMPARE(centred->geometry(), QRect(10, 15, 20, 10));
        QCOMPARE(filling->geometry(), QRect(34, 5, 30, 30));
        QCOMPARE(atEnd->geometry(), QRect(70, 19, 16, 16));
        QCOMPARE(atStart->geometry(), QRect(90, 5, 16, 16));
        QCOMPARE(stretched->geometry(), QRect(110, 5, 26, 30));
        QCOMPARE(list.sizeHint(), QSize(116, 26));
    }

    void nestedListsAreGroupsWhoseHidingFreesTheirRoom()
    {
        CWidgetList outer(Qt::Vertical, nullptr);
        outer.setSpacing(10);
        auto* top = new CWidgetList(Qt::Horizontal, nullptr);
        top->setFixedHeight(15);
        QWidget* day = fixedWidget(15, 15);
        QWidget* keptHidden = fixedWidget(15, 15);
        keptHidden->hide();
        top->addStretchSpace(1);
        top->addFixedWidget(day, CWidgetList::eAnchorCenter, true);
        top->addFixedWidget(keptHidden, CWidgetList::eAnchorCenter, true);
        auto* lower = new CWidgetList(Qt::Vertical, &outer); // built inside: a group from the start
        auto* row = new CWidgetList(Qt::Horizontal, lower);
        QWidget* first = fixedWidget(30, 20);
        QWidget* second = fixedWidget(40, 20);
        row->addFixedWidget(first, CWidgetList::eAnchorCenter, true);
        row->addFixedWidget(second, CWidgetList::eAnchorCenter, true);
        lower->addFixedSpace(5);
        lower->addFixedWidget(row, CWidgetList::eAnchorFill, true);
        outer.addFixedWidget(top, CWidgetList::eAnchorFill, true);
        outer.addFixedWidget(lower, CWidgetList::eAnchorFill, true);
        outer.resize(160, 100);
        outer.show();

        // The groups' widgets live in the outer list, placed inside their group's room; groups never show.
        for (QWidget* w : {day, first, second}) {
            QCOMPARE(w->parentWidget(), &outer);
            QVERIFY(w->isVisible());
        }
        QVERIFY(!top->isVisible() && !lower->isVisible() && !row->isVisible());
        QCOMPARE(day->geometry(), QRect(145, 0, 15, 15));
        QCOMPARE(second->geometry(), QRect(30, 30, 40, 20));
        QCOMPARE(outer.sizeHint(), QSize(70, 50));

        first->hide();
        QTRY_COMPARE(second->geometry(), QRect(0, 30, 40, 20));
        top->hide();
        QVERIFY(!day->isVisible());
        QCOMPARE(second->y(), 5);
        QWidget* addedWhileHidden = fixedWidget(10, 10);
        top->addFixedWidget(addedWhileHidden, CWidgetList::eAnchorCenter, true);
        QVERIFY(!addedWhileHidden->isVisible());

        top->show();
        QVERIFY(day->isVisible() && addedWhileHidden->isVisible() && !keptHidden->isVisible());
        QCOMPARE(second->y(), 30);
    }
};

QTEST_MAIN(TestWidgetList)
#include "tst_widgetlist.moc"
