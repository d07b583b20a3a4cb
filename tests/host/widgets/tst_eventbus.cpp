#include "CModalDriver.h"
#include "CRecordingOwner.h"
#include "TestGuards.h"

#include "widgets/CCheckBox.h"
#include "widgets/CComboBox.h"
#include "widgets/CCommonDialog.h"
#include "widgets/CSafeLineEdit.h"
#include "widgets/CSmallNormalButton.h"

#include <QtTest>

using namespace XP;

using Gesture = std::function<void(CRecordingOwner& owner)>;
Q_DECLARE_METATYPE(Gesture)

namespace {

CCheckBox* nightBox(CRecordingOwner& owner)
{
    auto* box = new CCheckBox(1, QString(), QStringLiteral("夜盘"), &owner);
    owner.note = [box] { return box->isChecked() ? QStringLiteral("on") : QStringLiteral("off"); };
    return box;
}

// A dialog that writes down the events its own handleEvent gets before handling them as usual.
class CRecordingDialog : public CCommonDialog
{
public:
    using CCommonDialog::CCommonDialog;
    bool handleEvent(int type, int id, int param, QString text, void* data) override
    {
        events << QStringLiteral("%1|%2").arg(type).arg(id);
        return CCommonDialog::handleEvent(type, id, param, text, data);
    }
    QStringList events;
};

} // namespace

class TestEventBus : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { tds::failOnUnexpectedWarnings(); }

    void controlsDeliverTheirEventToTheirOwner_data()
    {
        QTest::addColumn<Gesture>("gesture");
        QTest::addColumn<QStringList>("events");
        QTest::newRow("button clicked, by Space, by Enter") << Gesture([](CRecordingOwner& o) {
            auto* button = new CSmallNormalButton(9, false, 1, &o);
            QTest::mouseClick(button, Qt::LeftButton);
            QTest::keyClick(button, Qt::Key_Space);
            QTest::keyClick(button, Qt::Key_Return);
        }) << QStringList{"5|9|0|", "5|9|0|", "5|9|0|"};
        QTest::newRow("button released outside") << Gesture([](CRecordingOwner& o) {
            auto* button = new CSmallNormalButton(1, false, 1, &o);
            QTest::mousePress(button, Qt::LeftButton);
            QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(button->width() + 5, 5));
        }) << QStringList{};
        QTest::newRow("check box toggled, told after the change") << Gesture([](CRecordingOwner& o) {
            CCheckBox* box = nightBox(o);
            QTest::mouseClick(box, Qt::LeftButton);
            QTest::keyClick(box, Qt::Key_Space);
            box->setChecked(true); // by the program: nothing told
        }) << QStringList{"66|1|0||on", "66|1|0||off"};
        QTest::newRow("combo item changed") << Gesture([](CRecordingOwner& o) {
            auto* combo = new CComboBox(13, &o);
            combo->addItem(QStringLiteral("期货电子盘市场"), 14);
            combo->addItem(QStringLiteral("利率电子盘市场"), 15);
            combo->setCurrentIndex(1);
            QTest::keyClick(combo, Qt::Key_Up);
            combo->clear();
        }) << QStringList{"75|13|1|", "75|13|0|"};
        QTest::newRow("Enter in a line edit") << Gesture([](CRecordingOwner& o) {
            auto* edit = new IMC::CSafeLineEdit(404, &o);
            QTest::keyClicks(edit, QStringLiteral("C:/data/trade.xls"));
            QTest::keyClick(edit, Qt::Key_Return);
        }) << QStringList{"102|404|0|C:/data/trade.xls"};
    }

    void controlsDeliverTheirEventToTheirOwner()
    {
        QFETCH(Gesture, gesture);
        QFETCH(QStringList, events);
        CRecordingOwner owner;
        gesture(owner);
        QCOMPARE(owner.events, events);
    }

    void eventsPassUpUntilConsumed_data()
    {
        QTest::addColumn<int>("middle"); // 0: a plain base widget, 1: an owner passing on, 2: consuming
        QTest::addColumn<bool>("topConsumes");
        QTest::addColumn<QStringList>("atMiddle");
        QTest::addColumn<QStringList>("atTop");
        QTest::addColumn<bool>("consumed");
        const QStringList event{"3027|0|3|2026-08-12"};
        QTest::newRow("base widget passes on") << 0 << true << QStringList{} << event << true;
        QTest::newRow("owner passes on") << 1 << true << event << event << true;
        QTest::newRow("owner consumes") << 2 << true << event << QStringList{} << true;
        QTest::newRow("nobody consumes") << 0 << false << QStringList{} << event << false;
    }

    void eventsPassUpUntilConsumed()
    {
        QFETCH(int, middle);
        QFETCH(bool, topConsumes);
        QFETCH(QStringList, atMiddle);
        QFETCH(QStringList, atTop);
        QFETCH(bool, consumed);
        CRecordingOwner top(nullptr, topConsumes);
        auto* recording = middle > 0 ? new CRecordingOwner(&top, middle == 2) : nullptr;
        QWidget* between = recording ? recording : new CBaseWidget(QStringLiteral("middle"), false, &top);
        auto* inner = new CBaseWidget(QStringLiteral("inner"), false, between);

        QCOMPARE(inner->deliverEvent(3027, 0, 3, QStringLiteral("2026-08-12"), nullptr), consumed);

        QCOMPARE(recording ? recording->events : QStringList{}, atMiddle);
        QCOMPARE(top.events, atTop);
    }

    void closeControlRejectsARunningDialog()
    {
        tds::TopLevelWidgetGuard guard;
        CRecordingOwner page;
        CRecordingDialog dialog(&page);
        auto* inner = new QWidget;
        dialog.setInnerWidget(inner);
        dialog.setFixedSize(430, 170);
        tds::CModalDriver driver;
        driver.arm([&](QWidget* modal) {
            QCOMPARE(modal, &dialog);
            QTest::mouseClick(dialog.closeButton(), Qt::LeftButton);
        });

        QCOMPARE(dialog.exec(), int(QDialog::Rejected));

        QCOMPARE(dialog.events, QStringList{"5|101"});
        QVERIFY(page.events.isEmpty());
        // The inner widget fills the dialog below its title bar.
        QVERIFY(dialog.rect().contains(inner->geometry()));
        QVERIFY(inner->y() > dialog.closeButton()->geometry().bottom());
        QVERIFY(inner->height() > dialog.height() / 2 && inner->width() > dialog.width() - 10);
    }
};

QTEST_MAIN(TestEventBus)
#include "tst_eventbus.moc"
