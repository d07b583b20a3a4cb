#include "../widgets/CRecordingOwner.h"
#include "TestGuards.h"

#include "widgets/hpf/CBaseTableColumnMultiButtonsDelegate.h"
#include "widgets/hpf/CStandardHpfTable.h"
#include "widgets/hpf/IBaseHpfTableModel.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QTableView>
#include <QtTest>

#include <boost/make_shared.hpp>

using namespace XP;

namespace {

// A row that shows its name in column 0, sorts as text and is keyed by its name.
class CNamedRow : public IBaseHpfTableData
{
public:
    explicit CNamedRow(const QString& name)
        : name(name)
    {}
    QString displayText(int column) const override { return cellText(column); }
    QString cellText(int column) const override { return column == 0 ? name : QString(); }
    qint64 integerValue(int) const override { return 0; }
    double floatValue(int) const override { return 0.0; }
    int sortKind(int) const override { return eSortByText; }
    QColor textColor() const override { return QColor(Qt::darkBlue); }
    std::string rowKey() const override { return name.toStdString(); }

    QString name;
};

// Column 3 is for row buttons.
class CNamedModel : public IBaseHpfTableModel
{
public:
    explicit CNamedModel(const QStringList& names)
        : IBaseHpfTableModel(true)
    {
        add(names);
    }
    void add(const QStringList& names)
    {
        for (const QString& name : names) {
            addData(boost::make_shared<CNamedRow>(name));
        }
    }
    int columnCount() const override { return 4; }
    QString headerText(int column) const override
    {
        return QStringList{"名称", "代码", "赛道", "操作"}.value(column);
    }
};

// Names of every model row, hidden ones included, then of the rows the view shows.
QString namesOf(const IBaseHpfTableModel& model)
{
    QStringList names;
    for (int row = 0; row < model.rowCount(); ++row) {
        names << model.getData(row)->cellText(0);
    }
    names << QStringLiteral("/");
    for (int row = 0; row < model.itemModel()->rowCount(); ++row) {
        names << model.itemModel()->index(row, 0).data().toString();
    }
    return names.join(QLatin1Char(' '));
}

} // namespace

class TestHpfTable : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { tds::failOnUnexpectedWarnings(); }

    void headerClickSortsAndLaterRowsJoinTheirPlace()
    {
        CStandardHpfTable table(0, nullptr, 0);
        auto* model = new CNamedModel({"b", "c", "a"});
        table.setDataModel(model);
        QAbstractItemModelTester tester(model->itemModel(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        table.show();
        QHeaderView* header = table.tableView()->horizontalHeader();

        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(5, header->height() / 2));
        model->add({"ab"});

        QCOMPARE(namesOf(*model),
                 QString(header->sortIndicatorOrder() == Qt::AscendingOrder ? "a ab b c / a ab b c"
                                                                            : "c b ab a / c b ab a"));
    }

    void rowButtonsDeliverTheirIdAndSelectTheirRow_data()
    {
        QTest::addColumn<bool>("sorted");
        QTest::addColumn<int>("shownRow");
        QTest::addColumn<int>("pressed");
        QTest::addColumn<int>("released");
        QTest::addColumn<QStringList>("events");
        // a1's buttons are hidden, b is filtered out, a2 has "跳转" (3) and "删除" (4), a3 a disabled "跳转".
        QTest::newRow("second button") << false << 1 << 1 << 1 << QStringList{"228|0|4||2"};
        QTest::newRow("released on another button") << false << 1 << 0 << 1 << QStringList{};
        QTest::newRow("disabled button") << false << 2 << 0 << 0 << QStringList{};
        QTest::newRow("hidden buttons") << false << 0 << 0 << 0 << QStringList{};
        QTest::newRow("buttons follow their row") << true << 2 << 0 << 0 << QStringList{"228|0|3||3"};
    }

    void rowButtonsDeliverTheirIdAndSelectTheirRow()
    {
        QFETCH(bool, sorted);
        QFETCH(int, shownRow);
        QFETCH(int, pressed);
        QFETCH(int, released);
        QFETCH(QStringList, events);
        CRecordingOwner owner;
        auto* table = new CStandardHpfTable(0, &owner, 0);
        owner.note = [table] { return QString::number(table->selectedRow()); };
        auto* model = new CNamedModel({"a1", "b", "a2", "a3", "a4"});
        table->setDataModel(model);
        table->setFlag(CStandardHpfTable::eTableSelectRows);
        auto* delegate = new CBaseTableColumnMultiButtonsDelegate(3, table);
        table->setColumnDelegate(3, delegate);
        const ButtonData open(3, QStringLiteral("跳转"), ButtonData::eNormalButton, false, {});
        delegate->setItemButtons("a1", {open}, true);
        delegate->setItemVisible("a1", false, true);
        delegate->setItemButtons(
            "a2", {open, ButtonData(4, QStringLiteral("删除"), ButtonData::eLinkButton, false, {})}, true);
        delegate->setItemButtons(
            "a3", {ButtonData(3, QStringLiteral("跳转"), ButtonData::eNormalButton, true, {})}, true);
        model->filterColumn(0, qMakePair(eFilterContains, QSet<QString>{QStringLiteral("A")}));
        if (sorted) {
            model->sort(0, Qt::DescendingOrder); // a4 a3 b a2 a1
        }
        owner.resize(600, 200);
        table->resize(600, 200);
        owner.show();

        QTableView* view = table->tableView();
        QStyleOptionViewItem option;
        option.initFrom(view);
        option.font = view->font();
        option.rect = view->visualRect(model->itemModel()->index(shownRow, 3));
        const QVector<QRect> rects = delegate->buttonRects(option, model->itemModel()->index(shownRow, 3));
        const auto at = [&](int button) {
            return button < rects.size() ? rects[button].center() : option.rect.center();
        };
        QTest::mousePress(view->viewport(), Qt::LeftButton, {}, at(pressed));
        QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, at(released));

        QCOMPARE(owner.events, events);
    }
};

QTEST_MAIN(TestHpfTable)
#include "tst_hpftable.moc"
