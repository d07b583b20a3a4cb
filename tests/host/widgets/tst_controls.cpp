#include "CRecordingOwner.h"
#include "TestGuards.h"

#include "widgets/CBaseWidget.h"
#include "widgets/CCheckBox.h"
#include "widgets/CComboBox.h"
#include "widgets/CSafeLineEdit.h"
#include "widgets/CSimpleTextWidget.h"
#include "widgets/CSmallNormalButton.h"
#include "widgets/CUiResource.h"
#include "widgets/CWidgetList.h"

#include <QAccessible>
#include <QImage>
#include <QLineEdit>
#include <QProxyStyle>
#include <QtTest>

using namespace XP;

namespace {

// Columns of the image that hold at least one pixel of the given colour.
QPair<int, int> columnsInColour(const QImage& image, const QColor& colour)
{
    int first = -1;
    int last = -1;
    for (int x = 0; x < image.width(); ++x) {
        for (int y = 0; y < image.height(); ++y) {
            if (QColor(image.pixel(x, y)) == colour) {
                first = first < 0 ? x : first;
                last = x;
                break;
            }
        }
    }
    return {first, last};
}

QImage renderOnWhite(QWidget* widget)
{
    QImage image(widget->size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    widget->render(&image);
    return image;
}

// Counts the widgets the application style is asked to polish.
class CPolishCountingStyle : public QProxyStyle
{
public:
    QList<QWidget*> polished;

    void polish(QWidget* widget) override
    {
        polished.append(widget);
        QProxyStyle::polish(widget);
    }
    using QProxyStyle::polish;
};

} // namespace

class TestControls : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { tds::failOnUnexpectedWarnings(); }

    void buttonClickDeliversItsId()
    {
        CRecordingOwner owner;
        CSmallNormalButton button(9, false, 1, &owner);
        button.setText(QStringLiteral("重新刷新"));
        button.setFixedSize(80, 26);

        QTest::mouseClick(&button, Qt::LeftButton);

        QCOMPARE(button.text(), QStringLiteral("重新刷新"));
        QCOMPARE(button.id(), 9);
        QCOMPARE(owner.events.size(), 1);
        QCOMPARE(owner.events[0].type, 5);
        QCOMPARE(owner.events[0].id, 9);
        QCOMPARE(owner.events[0].param, 0);
        QVERIFY(owner.events[0].text.isEmpty());
    }

    void disabledButtonDeliversNothing()
    {
        CRecordingOwner owner;
        auto* button = new CSmallNormalButton(4, false, 1, &owner);
        button->setFixedSize(45, 26);
        button->setEnabled(false);
        owner.show();

        QTest::mouseClick(button, Qt::LeftButton);
        QTest::keyClick(button, Qt::Key_Space);

        QVERIFY(owner.events.isEmpty());
    }

    void releaseOutsideIsNoClick()
    {
        CRecordingOwner owner;
        CSmallNormalButton button(1, false, 1, &owner);
        button.setFixedSize(26, 26);

        QTest::mousePress(&button, Qt::LeftButton);
        QVERIFY(button.isDown());
        QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(40, 40));

        QVERIFY(!button.isDown());
        QVERIFY(owner.events.isEmpty());
    }

    void keyboardClicksButton()
    {
        CRecordingOwner owner;
        CSmallNormalButton button(2, false, 1, &owner);
        QTest::keyClick(&button, Qt::Key_Space);
        QTest::keyClick(&button, Qt::Key_Return);
        QCOMPARE(owner.events.size(), 2);
        QCOMPARE(owner.events[1].id, 2);
    }

    void disabledButtonPaintsGreyText()
    {
        CSmallNormalButton button(6, false, 1, nullptr);
        button.setText(QStringLiteral("设置默认交易日"));
        button.setFixedSize(100, 26);
        CUiResource* theme = CUiResource::instance();
        const QColor normal = theme->getColor(QStringLiteral("clr_default"));
        const QColor grey = theme->getColor(QStringLiteral("clr_disabled_text"));
        QVERIFY(columnsInColour(renderOnWhite(&button), normal).first >= 0);

        button.setEnabled(false);
        const QImage disabled = renderOnWhite(&button);

        QCOMPARE(columnsInColour(disabled, normal).first, -1);
        QVERIFY(columnsInColour(disabled, grey).first >= 0);
    }

    void checkBoxShowsTheNonEmptyText()
    {
        CCheckBox second(0, QString(), QStringLiteral("日盘"), nullptr);
        CCheckBox first(1, QStringLiteral("夜盘"), QString(), nullptr);
        QCOMPARE(second.text(), QStringLiteral("日盘"));
        QCOMPARE(first.text(), QStringLiteral("夜盘"));
        QVERIFY(second.sizeHint().width() > second.sizeHint().height());
    }

    void programmaticChangesDeliverNothing()
    {
        CRecordingOwner owner;
        CCheckBox box(0, QString(), QStringLiteral("日盘"), &owner);
        box.setChecked(true);
        QVERIFY(box.isChecked());
        box.setCheckState(Qt::Unchecked);
        QCOMPARE(box.checkState(), Qt::Unchecked);
        box.setCheckState(Qt::PartiallyChecked);
        QVERIFY(!box.isChecked());
        QVERIFY(owner.events.isEmpty());
    }

    void operatorClickTogglesThenDelivers()
    {
        CRecordingOwner owner;
        auto* box = new CCheckBox(1, QString(), QStringLiteral("夜盘"), &owner);
        box->setFixedSize(50, 15);
        QList<bool> seenStates;
        owner.onEvent = [&](const SBusEvent&) { seenStates.append(box->isChecked()); };

        QTest::mouseClick(box, Qt::LeftButton);
        QTest::mouseClick(box, Qt::LeftButton);
        QTest::keyClick(box, Qt::Key_Space);

        QCOMPARE(owner.events.size(), 3);
        QCOMPARE(owner.events[0].type, 66);
        QCOMPARE(owner.events[0].id, 1);
        QCOMPARE(seenStates, (QList<bool>{true, false, true}));
    }

    void ownerResettingTheBoxStartsNoSecondEvent()
    {
        CRecordingOwner owner;
        auto* box = new CCheckBox(0, QString(), QStringLiteral("日盘"), &owner);
        box->setFixedSize(50, 15);
        box->setChecked(true);
        owner.onEvent = [&](const SBusEvent&) { box->setChecked(true); };

        QTest::mouseClick(box, Qt::LeftButton);

        QCOMPARE(owner.events.size(), 1);
        QVERIFY(box->isChecked());
    }

    void disabledCheckBoxIgnoresOperator()
    {
        CRecordingOwner owner;
        auto* box = new CCheckBox(0, QString(), QStringLiteral("日盘"), &owner);
        box->setFixedSize(50, 15);
        box->setEnabled(false);
        QTest::keyClick(box, Qt::Key_Space);
        QVERIFY(!box->isChecked());
        QVERIFY(owner.events.isEmpty());
    }

    void comboDeliversEveryChangeOfTheCurrentItem()
    {
        CRecordingOwner owner;
        auto* combo = new CComboBox(13, &owner);
        combo->addItem(QStringLiteral("期货电子盘市场"), 14);
        combo->addItem(QStringLiteral("利率电子盘市场"), 15);
        QCOMPARE(combo->currentIndex(), 0);
        QVERIFY(owner.events.isEmpty());

        combo->setCurrentIndex(1);
        QCOMPARE(owner.events.size(), 1);
        QCOMPARE(owner.events[0].type, 75);
        QCOMPARE(owner.events[0].id, 13);
        QCOMPARE(owner.events[0].param, 1);
        QCOMPARE(combo->currentData().toInt(), 15);
        QCOMPARE(combo->currentText(), QStringLiteral("利率电子盘市场"));

        QTest::keyClick(combo, Qt::Key_Up);
        QCOMPARE(owner.events.size(), 2);
        QCOMPARE(owner.events[1].param, 0);
        QCOMPARE(combo->itemText(combo->currentIndex()), QStringLiteral("期货电子盘市场"));

        combo->setCurrentIndex(0);
        combo->clear();
        QCOMPARE(combo->count(), 0);
        QCOMPARE(owner.events.size(), 2);
    }

    void enterInSafeLineEditDeliversText()
    {
        CRecordingOwner owner;
        auto* edit = new IMC::CSafeLineEdit(404, &owner);
        QTest::keyClicks(edit, QStringLiteral("C:/data/trade.xls"));
        QVERIFY(owner.events.isEmpty());

        QTest::keyClick(edit, Qt::Key_Return);

        QCOMPARE(owner.events.size(), 1);
        QCOMPARE(owner.events[0].type, 102);
        QCOMPARE(owner.events[0].id, 404);
        QCOMPARE(owner.events[0].text, QStringLiteral("C:/data/trade.xls"));
    }

    void readOnlyEditKeepsItsText()
    {
        IMC::CSafeLineEdit edit(404, nullptr);
        edit.setText(QStringLiteral("a.csv"));
        edit.setReadOnly(true);
        QTest::keyClicks(&edit, QStringLiteral("xyz"));
        QCOMPARE(edit.text(), QStringLiteral("a.csv"));
    }

    void emptyHintUsesThemeColour()
    {
        CLineEdit edit(nullptr);
        edit.setEmptyHint(QStringLiteral("请选择文件"));
        edit.setEmptyHintColorKey(QStringLiteral("clr_global_warn"));
        QCOMPARE(edit.emptyHint(), QStringLiteral("请选择文件"));
        QCOMPARE(edit.palette().color(QPalette::PlaceholderText),
                 CUiResource::instance()->getColor(QStringLiteral("clr_global_warn")));
    }

    void simpleTextKeepsAtMostMaxLength_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("maxLength");
        QTest::addColumn<QString>("shown");
        QTest::newRow("all") << QStringLiteral("交易日 2026-08-03") << 100000
                             << QStringLiteral("交易日 2026-08-03");
        QTest::newRow("cut") << QStringLiteral("2015年12月") << 5 << QStringLiteral("2015年");
        QTest::newRow("empty") << QString() << 10 << QString();
    }

    void simpleTextKeepsAtMostMaxLength()
    {
        QFETCH(QString, text);
        QFETCH(int, maxLength);
        QFETCH(QString, shown);
        CSimpleTextWidget label(false, 0, QStringLiteral("1"), nullptr);
        label.setText(text, maxLength);
        QCOMPARE(label.getText(), shown);
    }

    void simpleTextAlignsByFlag_data()
    {
        QTest::addColumn<int>("flag");
        QTest::addColumn<bool>("rightHalf");
        QTest::newRow("left") << int(Qt::AlignLeft | Qt::AlignVCenter) << false;
        QTest::newRow("right, centred, single line") << 0x182 << true;
    }

    void simpleTextAlignsByFlag()
    {
        QFETCH(int, flag);
        QFETCH(bool, rightHalf);
        CSimpleTextWidget label(false, 0, QStringLiteral("12"), nullptr);
        label.setFixedSize(120, 20);
        label.setColorKey(QStringLiteral("clr_global_warn"));
        label.setFlag(flag);

        const auto columns = columnsInColour(
            renderOnWhite(&label), CUiResource::instance()->getColor(QStringLiteral("clr_global_warn")));

        QVERIFY(columns.first >= 0);
        QCOMPARE(columns.first >= 60, rightHalf);
        QCOMPARE(columns.second >= 60, rightHalf);
        QCOMPARE(label.flag(), flag);
        QCOMPARE(label.colorKey(), QStringLiteral("clr_global_warn"));
    }

    void accessibleControlsTellRoleNameAndState()
    {
        CSmallNormalButton button(8, false, 1, nullptr);
        button.setText(QStringLiteral("提交保存"));
        CCheckBox box(0, QString(), QStringLiteral("日盘"), nullptr);
        box.setChecked(true);

        QAccessibleInterface* buttonFace = QAccessible::queryAccessibleInterface(&button);
        QAccessibleInterface* boxFace = QAccessible::queryAccessibleInterface(&box);

        QVERIFY(buttonFace && boxFace);
        QCOMPARE(buttonFace->role(), QAccessible::Button);
        QCOMPARE(buttonFace->text(QAccessible::Name), QStringLiteral("提交保存"));
        QCOMPARE(boxFace->role(), QAccessible::CheckBox);
        QVERIFY(boxFace->state().checked);
        box.setChecked(false);
        QVERIFY(!boxFace->state().checked);
    }

    void themeDrawnWidgetsAreNotPolishedByTheStyle()
    {
        CPolishCountingStyle style;
        CBaseWidget base(QStringLiteral("base"), false, nullptr);
        auto* list = new CWidgetList(Qt::Vertical, &base);
        auto* text = new CSimpleTextWidget(false, 0, QStringLiteral("交易日 "), &base);
        auto* button = new CSmallNormalButton(11, false, 1, &base);
        auto* box = new CCheckBox(0, QString(), QStringLiteral("日盘"), &base);
        auto* edit = new QLineEdit(&base);
        base.setInnerStretchWidget(list, 0, 0, 0, 0);
        for (QWidget* w : QList<QWidget*>{text, button, box, edit}) {
            list->addFixedWidget(w, CWidgetList::eAnchorCenter, true);
        }
        const QList<QWidget*> themed{&base, list, text, button, box};
        for (QWidget* w : themed + QList<QWidget*>{edit}) {
            w->setStyle(&style);
        }
        base.show();

        // A Qt control still gets its style; the theme's own widgets are polished without it.
        QVERIFY(style.polished.contains(edit));
        for (QWidget* w : themed) {
            QVERIFY(!style.polished.contains(w));
            QVERIFY(w->testAttribute(Qt::WA_WState_Polished));
        }
    }

    void sizeHintsFollowTheScale()
    {
        CSmallNormalButton button(6, false, 1, nullptr);
        button.setText(QStringLiteral("设置默认交易日"));
        CSimpleTextWidget label(false, 0, QStringLiteral("2015年12月"), nullptr);
        const QSize buttonBefore = button.sizeHint();
        const QSize labelBefore = label.sizeHint();

        CUiResource::instance()->setScale(2.0);
        const QSize buttonAfter = button.sizeHint();
        const QSize labelAfter = label.sizeHint();
        CUiResource::instance()->setScale(1.0);

        QVERIFY(buttonAfter.width() > buttonBefore.width() + 20);
        QVERIFY(labelAfter.height() > labelBefore.height());
        QCOMPARE(button.sizeHint(), buttonBefore);
    }
};

QTEST_MAIN(TestControls)
#include "tst_controls.moc"
