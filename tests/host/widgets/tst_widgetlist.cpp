#include "TestGuards.h"

#include "widgets/CSimpleTextWidget.h"
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

        list.resize(200, 40);
        list.show();

        QCOMPARE(centred->geometry(), QRect(10, 15, 20, 10));
        QCOMPARE(filling->geometry(), QRect(34, 5, 30, 30));
        QCOMPARE(atEnd->geometry(), QRect(70, 19, 16, 16));
        QCOMPARE(atStart->geometry(), QRect(90, 5, 16, 16));
        QCOMPARE(list.sizeHint(), QSize(116, 26));
        for (QWidget* w : {centred, filling, atEnd, atStart}) {
            QCOMPARE(w->parentWidget(), &list);
            QVERIFY(w->isVisible());
        }
    }

    void stretchItemsShareTheRest_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<QList<int>>("factors");
        QTest::addColumn<QList<int>>("expected");
        // The first item of each row is a fixed widget 50 long; positive factors are stretch widgets,
        // negative ones stretch spaces of that factor.
        QTest::newRow("one widget takes all") << 300 << QList<int>{1} << QList<int>{250};
        QTest::newRow("widget, space, widget") << 300 << QList<int>{1, -2, 1} << QList<int>{62, 125, 63};
        QTest::newRow("three equal") << 200 << QList<int>{1, 1, 1} << QList<int>{50, 50, 50};
        QTest::newRow("no room left") << 40 << QList<int>{1, 3} << QList<int>{0, 0};
    }

    void stretchItemsShareTheRest()
    {
        QFETCH(int, length);
        QFETCH(QList<int>, factors);
        QFETCH(QList<int>, expected);
        CWidgetList list(Qt::Vertical, nullptr);
        list.addFixedWidget(fixedWidget(10, 50), CWidgetList::eAnchorFill, true);
        QList<QWidget*> stretched;
        for (int factor : factors) {
            if (factor > 0) {
                stretched.append(new QWidget);
                list.addStretchWidget(stretched.last(), factor, CWidgetList::eAnchorFill, true);
            } else {
                stretched.append(nullptr);
                list.addStretchSpace(-factor);
            }
        }
        list.resize(20, length);
        list.show();

        int top = 50;
        for (int i = 0; i < factors.size(); ++i) {
            if (stretched[i]) {
                QCOMPARE(stretched[i]->geometry(), QRect(0, top, 20, expected[i]));
            }
            top += expected[i];
        }
    }

    void hiddenWidgetsTakeNoRoomUntilShown()
    {
        CWidgetList list(Qt::Vertical, nullptr);
        list.setSpacing(10);
        QWidget* first = fixedWidget(20, 20);
        QWidget* middle = fixedWidget(20, 30);
        QWidget* last = fixedWidget(20, 40);
        middle->hide();
        list.addFixedWidget(first, CWidgetList::eAnchorFill, true);
        list.addFixedWidget(middle, CWidgetList::eAnchorFill, true);
        list.addFixedWidget(last, CWidgetList::eAnchorFill, true);
        list.resize(100, 200);
        list.show();
        QCOMPARE(last->y(), 30);
        QVERIFY(!middle->isVisible());

        middle->show();
        QTRY_COMPARE(last->y(), 70);
        QCOMPARE(middle->geometry(), QRect(40, 30, 20, 30));

        first->hide();
        QTRY_COMPARE(middle->y(), 0);
    }

    void spacesGetNoSpacing()
    {
        CWidgetList list(Qt::Horizontal, nullptr);
        list.setSpacing(10);
        QWidget* left = fixedWidget(20, 10);
        QWidget* right = fixedWidget(20, 10);
        list.addFixedWidget(left, CWidgetList::eAnchorStart, true);
        list.addFixedSpace(5);
        list.addFixedWidget(right, CWidgetList::eAnchorStart, true);
        list.resize(100, 10);
        list.show();
        QCOMPARE(right->x(), 25);
        QCOMPARE(list.sizeHint(), QSize(45, 10));
    }

    void widgetsAddedToAShownListAppearAtOnce()
    {
        CWidgetList list(Qt::Horizontal, nullptr);
        list.resize(100, 20);
        list.show();
        auto* label = new CSimpleTextWidget(false, 0, QStringLiteral("市场类型"), nullptr);
        list.addStretchSpace(1);
        list.addFixedWidget(label, CWidgetList::eAnchorCenter, true);
        QVERIFY(label->isVisible());
        QCOMPARE(label->geometry().right(), 99);
        QCOMPARE(label->width(), label->sizeHint().width());
    }

    void explicitlyHiddenWidgetStaysHidden()
    {
        QWidget origin;
        auto* hidden = new QWidget(&origin);
        hidden->hide();
        CWidgetList list(Qt::Horizontal, nullptr);
        list.show();
        list.addFixedWidget(hidden, CWidgetList::eAnchorCenter, true);
        QCOMPARE(hidden->parentWidget(), &list);
        QVERIFY(hidden->isHidden());
    }

    void sizeHintLeavesOutUncountedWidgets()
    {
        CWidgetList list(Qt::Horizontal, nullptr);
        list.setMargin(5, 5, 5, 5);
        list.addFixedWidget(fixedWidget(80, 26), CWidgetList::eAnchorCenter, false);
        list.addFixedWidget(fixedWidget(60, 26), CWidgetList::eAnchorCenter, true);
        QCOMPARE(list.sizeHint(), QSize(70, 36));
    }

    void nestedListsFormADayCell()
    {
        CWidgetList outer(Qt::Vertical, nullptr);
        outer.setMargin(0, 0, 0, 0);
        outer.setSpacing(10);
        auto* top = new CWidgetList(Qt::Horizontal, nullptr);
        top->setFixedHeight(15);
        QWidget* day = fixedWidget(15, 15);
        top->addStretchSpace(1);
        top->addFixedWidget(day, CWidgetList::eAnchorCenter, true);
        auto* lower = new CWidgetList(Qt::Vertical, nullptr);
        lower->setFixedHeight(70);
        QWidget* add = fixedWidget(30, 20);
        lower->addFixedWidget(add, CWidgetList::eAnchorCenter, true);
        outer.addFixedWidget(top, CWidgetList::eAnchorFill, true);
        outer.addFixedWidget(lower, CWidgetList::eAnchorFill, true);

        outer.setFixedSize(160, 100);
        outer.show();

        QCOMPARE(top->geometry(), QRect(0, 0, 160, 15));
        QCOMPARE(lower->geometry(), QRect(0, 25, 160, 70));
        // The nested lists are groups: their widgets live in the outer list, placed inside the groups' room.
        QCOMPARE(day->geometry(), QRect(145, 0, 15, 15));
        QCOMPARE(add->geometry(), QRect(65, 25, 30, 20));
        for (QWidget* w : {day, add}) {
            QCOMPARE(w->parentWidget(), &outer);
            QVERIFY(w->isVisible());
        }
        for (CWidgetList* group : {top, lower}) {
            QCOMPARE(group->outerList(), &outer);
            QVERIFY(!group->isVisible());
        }
    }

    void listBuiltInsideAListIsAGroupFromTheStart()
    {
        CWidgetList outer(Qt::Vertical, nullptr);
        auto* row = new CWidgetList(Qt::Horizontal, &outer);
        auto* inner = new CWidgetList(Qt::Horizontal, row);
        row->setFixedHeight(20);
        QWidget* first = fixedWidget(30, 20);
        QWidget* second = fixedWidget(40, 20);
        row->addFixedWidget(first, CWidgetList::eAnchorCenter, true);
        inner->addFixedWidget(second, CWidgetList::eAnchorCenter, true);
        row->addFixedWidget(inner, CWidgetList::eAnchorFill, true);
        outer.addFixedSpace(5);
        outer.addFixedWidget(row, CWidgetList::eAnchorFill, true);
        outer.resize(100, 50);
        outer.show();

        QCOMPARE(inner->outerList(), row);
        QCOMPARE(first->parentWidget(), &outer);
        QCOMPARE(second->parentWidget(), &outer);
        QCOMPARE(first->geometry(), QRect(0, 5, 30, 20));
        QCOMPARE(second->geometry(), QRect(30, 5, 40, 20));
        QCOMPARE(outer.sizeHint(), QSize(70, 25));

        // A widget of a group shown or hidden moves its neighbours, as in any list.
        first->hide();
        QTRY_COMPARE(second->geometry(), QRect(0, 5, 40, 20));
        QCOMPARE(outer.sizeHint(), QSize(40, 25));
    }

    void hiddenGroupHidesItsWidgetsAndGivesItsRoomAway()
    {
        CWidgetList outer(Qt::Vertical, nullptr);
        auto* upper = new CWidgetList(Qt::Horizontal, &outer);
        upper->setFixedHeight(20);
        QWidget* shown = fixedWidget(30, 20);
        QWidget* keptHidden = fixedWidget(30, 20);
        keptHidden->hide();
        upper->addFixedWidget(shown, CWidgetList::eAnchorCenter, true);
        upper->addFixedWidget(keptHidden, CWidgetList::eAnchorCenter, true);
        QWidget* below = fixedWidget(30, 10);
        outer.addFixedWidget(upper, CWidgetList::eAnchorFill, true);
        outer.addFixedWidget(below, CWidgetList::eAnchorFill, true);
        outer.resize(100, 100);
        outer.show();
        QCOMPARE(below->y(), 20);

        upper->hide();
        QVERIFY(!shown->isVisible());
        QCOMPARE(below->y(), 0);
        QWidget* addedWhileHidden = fixedWidget(10, 10);
        upper->addFixedWidget(addedWhileHidden, CWidgetList::eAnchorCenter, true);
        QVERIFY(!addedWhileHidden->isVisible());

        upper->show();
        QVERIFY(shown->isVisible());
        QVERIFY(addedWhileHidden->isVisible());
        QVERIFY(!keptHidden->isVisible());
        QCOMPARE(below->y(), 20);
    }
};

QTEST_MAIN(TestWidgetList)
#include "tst_widgetlist.moc"
