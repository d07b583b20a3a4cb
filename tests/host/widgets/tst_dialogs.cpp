#include "CModalDriver.h"
#include "CRecordingOwner.h"
#include "TestGuards.h"

#include "widgets/CCommonDialog.h"
#include "widgets/CGridImage.h"
#include "widgets/CImage.h"
#include "widgets/CLoadingMaskWidget.h"
#include "widgets/CMessageBox.h"
#include "widgets/CMessageBoxScript.h"
#include "widgets/CSmallNormalButton.h"
#include "widgets/CUiResource.h"

#include <QAbstractButton>
#include <QPainter>
#include <QPointer>
#include <QtTest>

#include <memory>

using namespace XP;

namespace {

class CRecordingDialog : public CCommonDialog
{
public:
    explicit CRecordingDialog(QWidget* parent)
        : CCommonDialog(parent)
    {}
    bool handleEvent(int type, int id, int param, QString text, void* data) override
    {
        events.append({type, id, param, text});
        return CCommonDialog::handleEvent(type, id, param, text, data);
    }
    QList<SBusEvent> events;
};

class CCountingHandler : public CUiResourceChangeHandler
{
public:
    void scaleChanged() override
    {
        ++calls;
        if (onScale) {
            onScale();
        }
    }
    int calls = 0;
    std::function<void()> onScale;
};

} // namespace

class TestDialogs : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { tds::failOnUnexpectedWarnings(); }
    void cleanup()
    {
        CMessageBoxScript::reset();
        CUiResource::instance()->setScale(1.0);
    }

    void closeControlRejectsARunningDialog()
    {
        tds::TopLevelWidgetGuard guard;
        CRecordingOwner page;
        auto dialog = std::make_unique<CRecordingDialog>(&page);
        dialog->setTitle(QStringLiteral("上传文件"));
        dialog->setFixedSize(430, 170);
        tds::CModalDriver driver;
        driver.arm([&](QWidget* modal) {
            QCOMPARE(modal, dialog.get());
            QTest::mouseClick(dialog->closeButton(), Qt::LeftButton);
        });

        const int result = dialog->exec();

        QCOMPARE(result, int(QDialog::Rejected));
        QCOMPARE(driver.handledCount(), 1);
        QCOMPARE(dialog->events.size(), 1);
        QCOMPARE(dialog->events[0].type, 5);
        QCOMPARE(dialog->events[0].id, 101);
        QVERIFY(page.events.isEmpty());
        QCOMPARE(dialog->title(), QStringLiteral("上传文件"));
        dialog.reset();
    }

    void innerWidgetFillsTheDialogBelowTheTitle()
    {
        CCommonDialog dialog(nullptr);
        auto* inner = new QWidget;
        dialog.setInnerWidget(inner);
        dialog.resize(430, 170);
        dialog.show();
        QCOMPARE(inner->parentWidget(), &dialog);
        const int edge = CCommonDialog::frameWidth;
        QCOMPARE(inner->geometry(), QRect(edge, edge + CCommonDialog::titleBarHeight, 430 - 2 * edge,
                                          170 - CCommonDialog::titleBarHeight - 2 * edge));
        QVERIFY(dialog.closeButton()->geometry().right() < 430);
        QVERIFY(dialog.closeButton()->geometry().bottom() <= CCommonDialog::titleBarHeight);
    }

    void dialogPaintsTitleBarAndFrame()
    {
        CCommonDialog dialog(nullptr);
        dialog.setTitle(QStringLiteral("交易日设置"));
        dialog.resize(300, 120);
        QImage image(dialog.size(), QImage::Format_RGB32);
        image.fill(Qt::black);
        dialog.render(&image);
        CUiResource* theme = CUiResource::instance();
        QCOMPARE(QColor(image.pixel(0, 60)), theme->getColor(QStringLiteral("clr_frame")));
        QCOMPARE(QColor(image.pixel(150, 3)), theme->getColor(QStringLiteral("clr_table_header")));
        QCOMPARE(QColor(image.pixel(150, 80)), theme->getColor(QStringLiteral("clr_window")));
    }

    void scriptAnswersInOrderAndRecords()
    {
        CMessageBoxScript::enable(true);
        CMessageBoxScript::pushAnswer(QMessageBox::Cancel);
        CMessageBoxScript::pushAnswer(QMessageBox::Ok);
        QWidget parent;

        const auto first =
            CMessageBox::question(&parent, QStringLiteral("操作提示"), QStringLiteral("确认删除? "),
                                  QMessageBox::Ok | QMessageBox::Cancel);
        const auto second =
            CMessageBox::warning(nullptr, QStringLiteral("查询失败"), QStringLiteral("未知异常"));

        QCOMPARE(first, QMessageBox::Cancel);
        QCOMPARE(second, QMessageBox::Ok);
        QCOMPARE(CMessageBoxScript::pendingAnswers(), 0);
        const QList<CMessageBoxCall> calls = CMessageBoxScript::calls();
        QCOMPARE(calls.size(), 2);
        QCOMPARE(calls[0].kind, QStringLiteral("question"));
        QCOMPARE(calls[0].parent.data(), &parent);
        QCOMPARE(calls[0].title, QStringLiteral("操作提示"));
        QCOMPARE(calls[0].text, QStringLiteral("确认删除? "));
        QCOMPARE(calls[0].buttons, QMessageBox::Ok | QMessageBox::Cancel);
        QCOMPARE(calls[0].defaultButton, QMessageBox::NoButton);
        QCOMPARE(calls[0].answer, QMessageBox::Cancel);
        QCOMPARE(calls[1].kind, QStringLiteral("warning"));
        QVERIFY(calls[1].parent.isNull());
    }

    void emptyScriptTakesDefaultThenFirstButton_data()
    {
        QTest::addColumn<int>("buttons");
        QTest::addColumn<int>("defaultButton");
        QTest::addColumn<int>("answer");
        QTest::newRow("ok and cancel") << int(QMessageBox::Ok | QMessageBox::Cancel)
                                       << int(QMessageBox::NoButton) << int(QMessageBox::Ok);
        QTest::newRow("default cancel") << int(QMessageBox::Ok | QMessageBox::Cancel)
                                        << int(QMessageBox::Cancel) << int(QMessageBox::Cancel);
        QTest::newRow("yes and no") << int(QMessageBox::Yes | QMessageBox::No) << int(QMessageBox::NoButton)
                                    << int(QMessageBox::Yes);
        QTest::newRow("no buttons") << 0 << int(QMessageBox::NoButton) << int(QMessageBox::NoButton);
    }

    void emptyScriptTakesDefaultThenFirstButton()
    {
        QFETCH(int, buttons);
        QFETCH(int, defaultButton);
        QFETCH(int, answer);
        CMessageBoxScript::enable(true);
        const auto given = CMessageBox::information(
            nullptr, QStringLiteral("提示"), QStringLiteral("未选择文件"),
            QMessageBox::StandardButtons(buttons), QMessageBox::StandardButton(defaultButton));
        QCOMPARE(int(given), answer);
        QCOMPARE(CMessageBoxScript::calls().size(), 1);
        QCOMPARE(CMessageBoxScript::calls()[0].kind, QStringLiteral("information"));
    }

    void recordedParentNoticesItsDestruction()
    {
        CMessageBoxScript::enable(true);
        auto parent = std::make_unique<QWidget>();
        CMessageBox::information(parent.get(), QStringLiteral("交易日设置"), QStringLiteral("操作成功"));
        parent.reset();
        QVERIFY(CMessageBoxScript::calls()[0].parent.isNull());
    }

    void resetForgetsEverything()
    {
        CMessageBoxScript::enable(true);
        CMessageBoxScript::pushAnswer(QMessageBox::No);
        CMessageBox::information(nullptr, QStringLiteral("提示"), QStringLiteral("x"));
        CMessageBoxScript::reset();
        QVERIFY(!CMessageBoxScript::isEnabled());
        QCOMPARE(CMessageBoxScript::pendingAnswers(), 0);
        QVERIFY(CMessageBoxScript::calls().isEmpty());
    }

    void realBoxIsModalAndReturnsThePressedButton()
    {
        tds::TopLevelWidgetGuard guard;
        QWidget parent;
        QString shownText;
        tds::CModalDriver driver;
        driver.arm([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            QVERIFY(box);
            shownText = box->text();
            QTest::mouseClick(box->button(QMessageBox::Cancel), Qt::LeftButton);
        });

        const auto pressed =
            CMessageBox::question(&parent, QStringLiteral("操作提示"), QStringLiteral("确认取消日盘? "),
                                  QMessageBox::Ok | QMessageBox::Cancel);

        QCOMPARE(pressed, QMessageBox::Cancel);
        QCOMPARE(shownText, QStringLiteral("确认取消日盘? "));
        QVERIFY(CMessageBoxScript::calls().isEmpty());
    }

    void maskCoversItsTargetAndFollowsResizes()
    {
        QWidget page;
        page.resize(300, 200);
        auto* child = new QWidget(&page);
        child->setGeometry(0, 0, 50, 50);
        CLoadingMaskWidget* mask = new CLoadingMaskWidget(QStringLiteral("正在加载数据"), &page);
        mask->hide();
        page.show();

        mask->attach(&page);
        QCOMPARE(mask->geometry(), page.rect());
        QVERIFY(mask->isVisible());
        QCOMPARE(page.children().last(), mask);
        QCOMPARE(mask->target(), &page);

        page.resize(400, 300);
        QCOMPARE(mask->geometry(), QRect(0, 0, 400, 300));

        mask->setText(QStringLiteral("正在上传数据..."));
        QCOMPARE(mask->text(), QStringLiteral("正在上传数据..."));
        mask->hide();
        QVERIFY(!mask->isVisible());
        QVERIFY(!mask->target());
        page.resize(500, 350);
        QCOMPARE(mask->size(), QSize(400, 300));
    }

    void maskMovesToAnotherTarget()
    {
        QWidget page;
        auto* table = new QWidget(&page);
        table->setGeometry(10, 10, 120, 80);
        CLoadingMaskWidget mask(QStringLiteral("正在加载数据"), nullptr);
        mask.attach(table);
        QCOMPARE(mask.parentWidget(), table);
        QCOMPARE(mask.geometry(), QRect(0, 0, 120, 80));
        mask.setParent(nullptr);
    }

    void scaleChangeReachesLiveHandlers()
    {
        CCountingHandler first;
        auto second = std::make_unique<CCountingHandler>();
        CBaseWidget widget(QStringLiteral("w"), false, nullptr);
        const int before = CUiResource::instance()->handlerCount();

        CUiResource::instance()->setScale(1.5);
        QCOMPARE(first.calls, 1);
        QCOMPARE(second->calls, 1);
        QCOMPARE(CUiResource::instance()->font(0).pixelSize(), 18);

        second.reset();
        CUiResource::instance()->setScale(2.0);
        QCOMPARE(first.calls, 2);
        QCOMPARE(CUiResource::instance()->handlerCount(), before - 1);
    }

    void handlerDestroyedByAnotherIsNotCalled()
    {
        // Handlers run in the order they were made, so the killer runs before its victim.
        CCountingHandler killer;
        int victimCalls = 0;
        auto victim = std::make_unique<CCountingHandler>();
        victim->onScale = [&] { ++victimCalls; };
        killer.onScale = [&] { victim.reset(); };
        CCountingHandler later;

        CUiResource::instance()->setScale(1.25);

        QVERIFY(!victim);
        QCOMPARE(victimCalls, 0);
        QCOMPARE(killer.calls, 1);
        QCOMPARE(later.calls, 1);
    }

    void themeHasTheKnownColours_data()
    {
        QTest::addColumn<QString>("key");
        for (const char* key : {"clr_default", "clr_table_background", "clr_table_background2",
                                "clr_lineedit_empty_hint", "clr_global_warn"}) {
            QTest::newRow(key) << QString::fromLatin1(key);
        }
    }

    void themeHasTheKnownColours()
    {
        QFETCH(QString, key);
        CUiResource* theme = CUiResource::instance();
        QVERIFY(theme->hasColor(key));
        QVERIFY(theme->getColor(key).isValid());
        QVERIFY(theme->getColor(key) != theme->getColor(QStringLiteral("clr_no_such_key")));
        QCOMPARE(theme->font(0).family(), CUiResource::fontFamily());
        QCOMPARE(theme->font(10).pixelSize(), 22);
    }

    void gridImageDrawsIntoItsRectangle()
    {
        CImage image(QStringLiteral("img_send_code_rule"));
        QVERIFY(image.isPlaceholder());
        QVERIFY(!image.size().isEmpty());
        QImage canvas(400, 300, QImage::Format_RGB32);
        canvas.fill(Qt::black);
        QPainter painter(&canvas);
        CGridImage::drawImage(&painter, &image, QRect(156, 97, 230, 170), QPen(Qt::red));
        painter.end();
        QCOMPARE(QColor(canvas.pixel(150, 100)), QColor(Qt::black));
        QCOMPARE(QColor(canvas.pixel(156, 150)), QColor(Qt::red));
        QCOMPARE(QColor(canvas.pixel(385, 150)), QColor(Qt::red));
        QVERIFY(QColor(canvas.pixel(200, 120)) != QColor(Qt::black));
    }
};

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
