#include "CRecordingOwner.h"
#include "TestGuards.h"

#include "widgets/CCommonDialog.h"
#include "widgets/CSmallNormalButton.h"
#include "widgets/CStandardSimpleTable.h"
#include "widgets/CWidgetList.h"
#include "widgets/IitsmDockableWidget.h"

#include <QPointer>
#include <QtTest>

#include <memory>

using namespace XP;

class TestEventBus : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { tds::failOnUnexpectedWarnings(); }

    void ownerIsNearestDelivererAboveParent()
    {
        CRecordingOwner owner;
        auto* plain = new QWidget(&owner);
        auto* button = new CSmallNormalButton(3, false, 1, plain);
        QCOMPARE(button->eventOwner(), static_cast<CEventDeliverer*>(&owner));
        QCOMPARE(CEventDeliverer::nearestDeliverer(plain), static_cast<CEventDeliverer*>(&owner));
        QCOMPARE(CEventDeliverer::nearestDeliverer(button), static_cast<CEventDeliverer*>(button));
        QVERIFY(!CEventDeliverer::nearestDeliverer(nullptr));
    }

    void eventsReachConstructionOwnerAfterMoveIntoList()
    {
        CRecordingOwner builder;
        CRecordingOwner host;
        auto* list = new CWidgetList(Qt::Horizontal, &host);
        auto* button = new CSmallNormalButton(7, false, 1, &builder);
        button->setFixedSize(30, 20);
        list->addFixedWidget(button, CWidgetList::eAnchorCenter, true);
        QCOMPARE(button->parentWidget(), list);

        QTest::mouseClick(button, Qt::LeftButton);

        QCOMPARE(builder.events.size(), 1);
        QCOMPARE(builder.events[0].type, 5);
        QCOMPARE(builder.events[0].id, 7);
        QVERIFY(host.events.isEmpty());
    }

    void eventsReachConstructionOwnerAfterPlacementInTable()
    {
        CRecordingOwner page;
        CRecordingOwner elsewhere;
        CStandardSimpleTable table(0, &elsewhere);
        table.setColumnCount(2);
        table.setRowCount(2);
        // A cell passes its controls' events on up, as a composite without its own handling does.
        auto* cell = new CRecordingOwner(&page, false);
        auto* button = new CSmallNormalButton(12, false, 1, cell);
        button->setFixedSize(30, 20);

        table.setItemWidget(1, 1, cell, eAlignCenter, true);
        QTest::mouseClick(button, Qt::LeftButton);

        QCOMPARE(cell->parentWidget(), &table);
        QCOMPARE(cell->events.size(), 1);
        QCOMPARE(page.events.size(), 1);
        QCOMPARE(page.events[0].id, 12);
        QVERIFY(elsewhere.events.isEmpty());
    }

    void baseHandleEventPassesUpTheChain()
    {
        CRecordingOwner top;
        auto* middle = new CBaseWidget(QStringLiteral("middle"), false, &top);
        auto* inner = new CBaseWidget(QStringLiteral("inner"), false, middle);

        QVERIFY(inner->deliverEvent(3027, 0, 3, QStringLiteral("2026-08-12"), nullptr));

        QCOMPARE(top.events.size(), 1);
        QCOMPARE(top.events[0].type, 3027);
        QCOMPARE(top.events[0].param, 3);
        QCOMPARE(top.events[0].text, QStringLiteral("2026-08-12"));
    }

    void consumingOwnerStopsTheEvent()
    {
        CRecordingOwner top;
        auto* middle = new CRecordingOwner(&top, true);
        auto* inner = new CBaseWidget(QStringLiteral("inner"), false, middle);

        QVERIFY(inner->deliverEvent(66, 1, 0, QString(), nullptr));

        QCOMPARE(middle->events.size(), 1);
        QVERIFY(top.events.isEmpty());
    }

    void unconsumedEventReportsFalse()
    {
        CBaseWidget top(QStringLiteral("top"), false, nullptr);
        auto* inner = new CBaseWidget(QStringLiteral("inner"), false, &top);
        QVERIFY(!inner->deliverEvent(5, 1, 0, QString(), nullptr));
        CSmallNormalButton orphan(1, false, 1, nullptr);
        QVERIFY(!orphan.eventOwner());
        QVERIFY(!orphan.deliverEvent(5, 1, 0, QString(), nullptr));
    }

    void destroyedOwnerIsForgotten()
    {
        QWidget keeper;
        auto owner = std::make_unique<CRecordingOwner>();
        auto* button = new CSmallNormalButton(4, false, 1, owner.get());
        button->setFixedSize(20, 20);
        button->setParent(&keeper);
        QVERIFY(button->eventOwner());

        owner.reset();

        QVERIFY(!button->eventOwner());
        QVERIFY(!button->deliverEvent(5, 4, 0, QString(), nullptr));
        QTest::mouseClick(button, Qt::LeftButton);
    }

    void dialogEventsDoNotReachThePageBehind()
    {
        CRecordingOwner page;
        auto* dialog = new CCommonDialog(&page);
        auto* button = new CSmallNormalButton(401, true, 1, dialog);
        button->setFixedSize(70, 26);

        QTest::mouseClick(button, Qt::LeftButton);

        QCOMPARE(button->eventOwner(), static_cast<CEventDeliverer*>(dialog));
        QVERIFY(!button->deliverEvent(5, 401, 0, QString(), nullptr));
        QVERIFY(page.events.isEmpty());
        delete dialog;
    }

    void dialogItselfDeliversToItsPage()
    {
        CRecordingOwner page;
        CCommonDialog dialog(&page);
        QVERIFY(dialog.deliverEvent(3029, 0, 0, QString(), nullptr));
        QCOMPARE(page.events.size(), 1);
        QCOMPARE(page.events[0].type, 3029);
    }

    void activationIsTracked()
    {
        CBaseWidget widget(QStringLiteral("page"), false, nullptr);
        QVERIFY(!widget.isActive());
        widget.onActive();
        QVERIFY(widget.isActive());
        widget.onDeactive();
        QVERIFY(!widget.isActive());
        QCOMPARE(widget.objectName(), QStringLiteral("page"));
    }

    void innerStretchWidgetFollowsResizes()
    {
        CBaseWidget frame(QStringLiteral("frame"), false, nullptr);
        auto* inner = new QWidget;
        frame.resize(200, 100);
        frame.setInnerStretchWidget(inner, 1, 2, 3, 4);
        QCOMPARE(inner->parentWidget(), &frame);
        QCOMPARE(inner->geometry(), QRect(1, 2, 196, 94));

        frame.show();
        frame.resize(300, 150);
        QCOMPARE(inner->geometry(), QRect(1, 2, 296, 144));
    }

    void dockableWidgetRemembersSystemAndParam()
    {
        IMC::IitsmDockableWidget dock(false, QStringLiteral("tds"), nullptr, true);
        QCOMPARE(dock.objectName(), QStringLiteral("tds"));
        QVERIFY(dock.currentSystemName().isEmpty());
        dock.switchSystem(2, QStringLiteral("系统二"));
        QCOMPARE(dock.currentSystemIndex(), 2);
        QCOMPARE(dock.currentSystemName(), QStringLiteral("系统二"));
        dock.setParam(QStringLiteral("a=1"));
        QCOMPARE(dock.param(), QStringLiteral("a=1"));
    }
};

QTEST_MAIN(TestEventBus)
#include "tst_eventbus.moc"
