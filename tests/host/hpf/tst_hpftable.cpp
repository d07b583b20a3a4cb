#include "widgets/CEventWidgetT.h"
#include "widgets/hpf/CBaseTableColumnMultiButtonsDelegate.h"
#include "widgets/hpf/CHpfItemModel.h"
#include "widgets/hpf/CStandardHpfTable.h"
#include "widgets/hpf/IBaseHpfTableModel.h"

#include "TestGuards.h"

#include <QAbstractItemModelTester>
#include <QClipboard>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QSignalSpy>
#include <QTableView>
#include <QtTest>

#include <boost/make_shared.hpp>

#include <memory>

using XP::ButtonData;
using XP::CBaseTableColumnMultiButtonsDelegate;
using XP::CStandardHpfTable;
using XP::IBaseHpfTableData;
using XP::IBaseHpfTableModel;

namespace {

// A row of a small price list: name (text), lot size (integer), price (floating point).
class CPriceRow : public IBaseHpfTableData
{
public:
    CPriceRow(QString name, qint64 lots, double price, std::string key = std::string())
        : name(std::move(name))
        , lots(lots)
        , price(price)
        , key(key.empty() ? this->name.toStdString() : std::move(key))
    {}

    QString displayText(int column) const override
    {
        return column == 2 ? QString::number(price, 'f', 2) : cellText(column);
    }
    QString cellText(int column) const override
    {
        switch (column) {
        case 0:
            return name;
        case 1:
            return QString::number(lots);
        case 2:
            return QString::number(price);
        default:
            return QString();
        }
    }
    qint64 integerValue(int column) const override { return column == 1 ? lots : 0; }
    double floatValue(int column) const override { return column == 2 ? price : 0.0; }
    int sortKind(int column) const override
    {
        return column == 1 ? eSortByInteger : column == 2 ? eSortByFloat : eSortByText;
    }
    QColor textColor() const override { return QColor(Qt::darkBlue); }
    std::string rowKey() const override { return key; }

    QString name;
    qint64 lots;
    double price;
    std::string key;
};

// A row that can take over another row's values in place.
class CEditableRow : public CPriceRow
{
public:
    using CPriceRow::CPriceRow;
    bool assign(const IBaseHpfTableData& other) override
    {
        const auto* row = dynamic_cast<const CPriceRow*>(&other);
        if (!row) {
            return false;
        }
        name = row->name;
        lots = row->lots;
        price = row->price;
        return true;
    }
};

class CPriceModel : public IBaseHpfTableModel
{
public:
    explicit CPriceModel(bool sortable = true, QString empty = QString())
        : IBaseHpfTableModel(sortable)
        , empty(std::move(empty))
    {}
    int columnCount() const override { return 4; }
    QString headerText(int column) const override
    {
        static const QStringList headers = {QStringLiteral("名称"), QStringLiteral("手数"),
                                            QStringLiteral("价格"), QStringLiteral("操作")};
        return headers.value(column);
    }
    QString emptyText() const override { return empty; }
    QColor rowBackground(int row) const override
    {
        return (row & 1) ? QColor(Qt::lightGray) : QColor(Qt::white);
    }

    QString empty;
};

boost::shared_ptr<CPriceRow> row(const QString& name, qint64 lots = 0, double price = 0.0,
                                 std::string key = {})
{
    return boost::make_shared<CPriceRow>(name, lots, price, std::move(key));
}

QStringList namesOf(const IBaseHpfTableModel& model)
{
    QStringList names;
    for (int i = 0; i < model.rowCount(); ++i) {
        names << model.getData(i)->cellText(0);
    }
    return names;
}

QStringList shownNamesOf(const IBaseHpfTableModel& model)
{
    QStringList names;
    const QAbstractItemModel* items = model.itemModel();
    for (int i = 0; i < items->rowCount(); ++i) {
        names << items->index(i, 0).data().toString();
    }
    return names;
}

struct SEvent
{
    int type;
    int id;
    int param;
};

// The page a table reports to.
class CRecordingOwner : public XP::CEventWidgetT<QWidget>
{
public:
    CRecordingOwner()
        : XP::CEventWidgetT<QWidget>(nullptr)
    {}
    bool handleEvent(int type, int id, int param, QString, void*) override
    {
        events.append({type, id, param});
        selectedAtEvent.append(table ? table->selectedRow() : -2);
        return true;
    }
    QVector<SEvent> events;
    QVector<int> selectedAtEvent;
    CStandardHpfTable* table = nullptr;
};

} // namespace

Q_DECLARE_METATYPE(XP::EFilterType)

class TestHpfTable : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { tds::failOnUnexpectedWarnings(); }

    void itemModelPassesTheModelTester()
    {
        CPriceModel model;
        QAbstractItemModelTester tester(model.itemModel(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.addData(row("Gamma", 3, 1.5));
        model.addData(row("alpha", 1, 9.0));
        model.addData(row("Beta", 2, 4.25));
        model.sort(0, Qt::AscendingOrder);
        model.addData(row("Delta", 7, 0.5));
        model.filterColumn(0, qMakePair(XP::eFilterContains, QSet<QString>{QStringLiteral("a")}));
        model.updateData(row("Gamma", 30, 2.5));
        model.sort(2, Qt::DescendingOrder);
        model.addData(row("Zeta", 1, 3.0));
        model.clearFilter();
        model.updateData(row("Omega", 9, 9.9));
        model.clear();
        model.addData(row("Epsilon"));
        QCOMPARE(model.itemModel()->rowCount(), 1);
    }

    void itemModelServesTheRowsRoles()
    {
        CPriceModel model;
        model.addData(row("Gamma", 3, 1.5, "G-1"));
        model.addData(row("Beta", 2, 4.25));
        const QAbstractItemModel* items = model.itemModel();
        QCOMPARE(items->columnCount(), 4);
        QCOMPARE(items->headerData(1, Qt::Horizontal).toString(), QStringLiteral("手数"));
        QVERIFY(!items->headerData(0, Qt::Vertical).isValid()); // no row numbers unless the model asks
        QCOMPARE(items->index(0, 2).data().toString(), QStringLiteral("1.50"));
        QCOMPARE(items->index(0, 0).data(Qt::ForegroundRole).value<QColor>(), QColor(Qt::darkBlue));
        QCOMPARE(items->index(1, 0).data(Qt::BackgroundRole).value<QColor>(), QColor(Qt::lightGray));
        QCOMPARE(items->index(0, 0).data(XP::CHpfItemModel::rowKeyRole).toByteArray(), QByteArray("G-1"));
        QCOMPARE(model.getData(0)->qsKey(), QStringLiteral("G-1"));
        QCOMPARE(model.rowOfKey("Beta"), 1);
        QCOMPARE(model.rowOfKey("missing"), -1);
        QVERIFY(!model.getData(2));
        QVERIFY(!model.getData(-1));
    }

    void filterMatches_data()
    {
        QTest::addColumn<XP::EFilterType>("type");
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<QStringList>("shown");
        const QStringList all = {"Alpha", "alphabet", "Beta", "ALPINE", "上海期货交易所"};
        QTest::newRow("contains ignores case")
            << XP::eFilterContains << QStringList{"alp"} << QStringList{"Alpha", "alphabet", "ALPINE"};
        QTest::newRow("contains Chinese")
            << XP::eFilterContains << QStringList{"期货"} << QStringList{"上海期货交易所"};
        QTest::newRow("contains any of several")
            << XP::eFilterContains << QStringList{"bet", "PINE"} << QStringList{"alphabet", "Beta", "ALPINE"};
        QTest::newRow("equals is exact") << XP::eFilterEquals << QStringList{"Beta"} << QStringList{"Beta"};
        QTest::newRow("equals keeps case") << XP::eFilterEquals << QStringList{"beta"} << QStringList{};
        QTest::newRow("no match") << XP::eFilterContains << QStringList{"zz"} << QStringList{};
        QTest::newRow("empty set removes the filter") << XP::eFilterEquals << QStringList{} << all;
    }
    void filterMatches()
    {
        QFETCH(XP::EFilterType, type);
        QFETCH(QStringList, values);
        QFETCH(QStringList, shown);
        CPriceModel model;
        for (const char* name : {"Alpha", "alphabet", "Beta", "ALPINE", "上海期货交易所"}) {
            model.addData(row(QString::fromUtf8(name)));
        }
        model.filterColumn(0, qMakePair(XP::eFilterEquals, QSet<QString>{QStringLiteral("Alpha")}));
        model.filterColumn(0, qMakePair(type, QSet<QString>(values.begin(), values.end())));
        QCOMPARE(shownNamesOf(model), shown);
        QCOMPARE(model.shownRowCount(), shown.size());
    }

    // Row numbers of rowCount/getData include the rows a filter hides; the view shows only the others.
    void hiddenRowsStayInTheModelRows()
    {
        CPriceModel model;
        model.addData(row("Alpha", 1));
        model.addData(row("Beta", 2));
        model.addData(row("Alpine", 3));
        model.filterColumn(0, qMakePair(XP::eFilterContains, QSet<QString>{QStringLiteral("alp")}));
        QCOMPARE(model.rowCount(), 3);
        QCOMPARE(namesOf(model), (QStringList{"Alpha", "Beta", "Alpine"}));
        QCOMPARE(shownNamesOf(model), (QStringList{"Alpha", "Alpine"}));
        QCOMPARE(model.rowOfShownRow(1), 2);
        QCOMPARE(model.shownRowOfRow(1), -1);
        QCOMPARE(model.shownRowOfRow(2), 1);

        // The filter stays on the model across a rebuild.
        model.clear();
        model.addData(row("Beta"));
        model.addData(row("alpaca"));
        QCOMPARE(shownNamesOf(model), QStringList{"alpaca"});
        model.clearFilter();
        QCOMPARE(shownNamesOf(model), (QStringList{"Beta", "alpaca"}));
    }

    void filtersOfSeveralColumnsMustAllPass()
    {
        CPriceModel model;
        model.addData(row("Alpha", 1));
        model.addData(row("Alpine", 2));
        model.addData(row("Beta", 1));
        model.filterColumn(0, qMakePair(XP::eFilterContains, QSet<QString>{QStringLiteral("al")}));
        model.filterColumn(1, qMakePair(XP::eFilterEquals, QSet<QString>{QStringLiteral("1")}));
        QCOMPARE(shownNamesOf(model), QStringList{"Alpha"});
        QCOMPARE(model.filters().size(), 2);
    }

    void sortsByEachColumnsKind_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("order");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("text ascending")
            << 0 << int(Qt::AscendingOrder) << QStringList{"a10", "a9", "b2", "c1"};
        QTest::newRow("integer ascending")
            << 1 << int(Qt::AscendingOrder) << QStringList{"c1", "b2", "a9", "a10"};
        QTest::newRow("integer descending")
            << 1 << int(Qt::DescendingOrder) << QStringList{"a10", "a9", "b2", "c1"};
        QTest::newRow("float ascending, ties keep their order")
            << 2 << int(Qt::AscendingOrder) << QStringList{"c1", "a9", "a10", "b2"};
        QTest::newRow("float descending, ties keep their order")
            << 2 << int(Qt::DescendingOrder) << QStringList{"b2", "a10", "c1", "a9"};
    }
    void sortsByEachColumnsKind()
    {
        QFETCH(int, column);
        QFETCH(int, order);
        QFETCH(QStringList, names);
        CPriceModel model;
        model.addData(row("b2", 2, 7.5));
        model.addData(row("a10", 10, 2.0));
        model.addData(row("c1", 1, 1.0));
        model.addData(row("a9", 9, 1.0));
        model.sort(column, Qt::SortOrder(order));
        QCOMPARE(namesOf(model), names);
        QCOMPARE(shownNamesOf(model), names);
        QCOMPARE(model.sortColumn(), column);
    }

    void rowsAddedWhileSortedGoToTheirPlace()
    {
        CPriceModel model;
        model.addData(row("b", 2));
        model.addData(row("d", 4));
        model.sort(1, Qt::AscendingOrder);
        model.addData(row("c", 3));
        model.addData(row("a", 1));
        model.addData(row("e", 5));
        QCOMPARE(namesOf(model), (QStringList{"a", "b", "c", "d", "e"}));
    }

    void unsortableModelKeepsItsOrder()
    {
        CPriceModel model(false);
        model.addData(row("b"));
        model.addData(row("a"));
        model.sort(0, Qt::AscendingOrder);
        model.sort(7, Qt::AscendingOrder);
        QCOMPARE(namesOf(model), (QStringList{"b", "a"}));
        QCOMPARE(model.sortColumn(), -1);
    }

    void updateDataReplacesTheRowWithTheSameKey()
    {
        CPriceModel model;
        model.addData(row("a", 1, 0.0, "k1"));
        const auto editable = boost::make_shared<CEditableRow>("b", 2, 0.0, "k2");
        model.addData(editable);
        model.addData(row("c", 3, 0.0, "k3"));

        model.updateData(row("A", 10, 0.0, "k1"));
        QCOMPARE(namesOf(model), (QStringList{"A", "b", "c"})); // replaced in its place

        model.updateData(row("B", 20, 0.0, "k2"));
        QCOMPARE(model.getData(1).get(),
                 static_cast<IBaseHpfTableData*>(editable.get())); // assigned in place
        QCOMPARE(editable->name, QStringLiteral("B"));

        model.updateData(row("new", 4, 0.0, "k4"));
        QCOMPARE(namesOf(model), (QStringList{"A", "B", "c", "new"}));

        model.sort(1, Qt::DescendingOrder);
        model.updateData(row("lowest", 0, 0.0, "k1"));
        QCOMPARE(namesOf(model), (QStringList{"B", "new", "c", "lowest"})); // moved to its sorted place
    }

    void tableFlagsSetTheView_data()
    {
        QTest::addColumn<int>("flags");
        QTest::addColumn<bool>("grid");
        QTest::addColumn<bool>("header");
        QTest::addColumn<int>("behaviour");
        QTest::addColumn<int>("mode");
        QTest::newRow("default") << CStandardHpfTable::defaultFlags << true << true
                                 << int(QAbstractItemView::SelectItems)
                                 << int(QAbstractItemView::ExtendedSelection);
        QTest::newRow("single rows") << int(CStandardHpfTable::eTableGrid | CStandardHpfTable::eTableHeader |
                                            CStandardHpfTable::eTableSelectRows)
                                     << true << true << int(QAbstractItemView::SelectRows)
                                     << int(QAbstractItemView::SingleSelection);
        QTest::newRow("bare") << 0 << false << false << int(QAbstractItemView::SelectItems)
                              << int(QAbstractItemView::SingleSelection);
    }
    void tableFlagsSetTheView()
    {
        QFETCH(int, flags);
        QFETCH(bool, grid);
        QFETCH(bool, header);
        QFETCH(int, behaviour);
        QFETCH(int, mode);
        CStandardHpfTable table(0, nullptr, 0);
        table.setDataModel(new CPriceModel);
        table.setFlag(flags);
        QCOMPARE(table.flag(), flags);
        QCOMPARE(table.tableView()->showGrid(), grid);
        QCOMPARE(table.tableView()->horizontalHeader()->isVisibleTo(&table), header);
        QCOMPARE(int(table.tableView()->selectionBehavior()), behaviour);
        QCOMPARE(int(table.tableView()->selectionMode()), mode);
    }

    void selectedRowIsTheModelRowUnderAFilter()
    {
        CStandardHpfTable table(0, nullptr, 0);
        auto* model = new CPriceModel;
        table.setDataModel(model);
        table.setFlag(CStandardHpfTable::eTableSelectRows);
        model->addData(row("Alpha"));
        model->addData(row("Beta"));
        model->addData(row("Alpine"));
        QCOMPARE(table.selectedRow(), -1);
        model->filterColumn(0, qMakePair(XP::eFilterContains, QSet<QString>{QStringLiteral("alp")}));
        table.selectRow(2);
        QCOMPARE(table.tableView()->currentIndex().row(), 1);
        QCOMPARE(table.selectedRow(), 2);
        QCOMPARE(table.rowCount(), 3);
        table.selectRow(1); // hidden by the filter
        QCOMPARE(table.selectedRow(), -1);
    }

    void headerClickSortsTheRows()
    {
        CStandardHpfTable table(0, nullptr, 0);
        auto* model = new CPriceModel;
        table.setDataModel(model);
        model->addData(row("b", 2));
        model->addData(row("a", 3));
        model->addData(row("c", 1));
        table.resize(600, 300);
        table.show();
        QVERIFY(QTest::qWaitForWindowExposed(&table));
        QCOMPARE(namesOf(*model), (QStringList{"b", "a", "c"})); // shown as added until asked
        QHeaderView* header = table.tableView()->horizontalHeader();
        const QPoint lotsHeader(header->sectionViewportPosition(1) + header->sectionSize(1) / 2,
                                header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, lotsHeader);
        QCOMPARE(model->sortColumn(), 1);
        QStringList first = namesOf(*model);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, lotsHeader);
        const QStringList second = namesOf(*model);
        std::reverse(first.begin(), first.end());
        QCOMPARE(second, first);
        QVERIFY(second == (QStringList{"c", "b", "a"}) || second == (QStringList{"a", "b", "c"}));
    }

    void updateTableFitsColumnsToHeaderAndButtons()
    {
        CStandardHpfTable table(0, nullptr, 0);
        auto* model = new CPriceModel;
        table.setDataModel(model);
        auto* delegate = new CBaseTableColumnMultiButtonsDelegate(1, &table);
        table.setColumnDelegate(1, delegate);
        model->addData(row("a"));
        delegate->setItemButtons("a",
                                 {ButtonData(3, QStringLiteral("跳转到交易日"), 1, false, {}),
                                  ButtonData(4, QStringLiteral("删除这一行"), 1, false, {})},
                                 true);
        table.resize(900, 200);
        table.show();
        QVERIFY(QTest::qWaitForWindowExposed(&table));
        table.updateTable();

        QTableView* view = table.tableView();
        const QModelIndex buttons = model->itemModel()->index(0, 1);
        QStyleOptionViewItem option;
        option.initFrom(view);
        option.font = view->font();
        option.rect = view->visualRect(buttons);
        const QVector<QRect> rects = delegate->buttonRects(option, buttons);
        QCOMPARE(rects.size(), 2);
        QVERIFY(option.rect.contains(rects.last()));
        const QFontMetrics header(view->horizontalHeader()->font());
        QVERIFY(view->columnWidth(0) >= header.horizontalAdvance(model->headerText(0)));
    }

    void emptyTextShowsWhileNoRowShows()
    {
        CStandardHpfTable table(0, nullptr, 0);
        auto* model = new CPriceModel(true, QStringLiteral("暂无数据"));
        table.setDataModel(model);
        table.resize(400, 200);
        table.show();
        QVERIFY(QTest::qWaitForWindowExposed(&table));
        auto* label = table.tableView()->viewport()->findChild<QLabel*>();
        QVERIFY(label);
        QVERIFY(label->isVisible());
        QCOMPARE(label->text(), QStringLiteral("暂无数据"));
        model->addData(row("a"));
        QVERIFY(!label->isVisible());
        model->filterColumn(0, qMakePair(XP::eFilterEquals, QSet<QString>{QStringLiteral("b")}));
        QVERIFY(label->isVisible());
    }

    void contextMenuCopiesCellOrRow()
    {
        CStandardHpfTable table(0, nullptr,
                                CStandardHpfTable::eMenuCopyCell | CStandardHpfTable::eMenuCopyRow);
        auto* model = new CPriceModel;
        table.setDataModel(model);
        model->addData(row("Gamma", 3, 1.5));
        table.resize(600, 200);
        table.show();
        QVERIFY(QTest::qWaitForWindowExposed(&table));
        QTableView* view = table.tableView();
        const QPoint lotsCell = view->visualRect(model->itemModel()->index(0, 1)).center();

        std::unique_ptr<QMenu> menu(table.createContextMenu(lotsCell));
        QVERIFY(menu);
        QCOMPARE(menu->actions().size(), 2);
        menu->actions().at(0)->trigger();
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("3"));
        menu->actions().at(1)->trigger();
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("Gamma\t3\t1.5\t"));

        CStandardHpfTable cellOnly(0, nullptr, CStandardHpfTable::eMenuCopyCell);
        cellOnly.setDataModel(new CPriceModel);
        QVERIFY(!std::unique_ptr<QMenu>(cellOnly.createContextMenu(QPoint(5, 5)))); // no row there
    }

    void rowButtonsRaiseEventsAndSelectTheirRow()
    {
        CRecordingOwner owner;
        auto* table = new CStandardHpfTable(0, &owner, 0);
        owner.table = table;
        auto* model = new CPriceModel;
        table->setDataModel(model);
        table->setFlag(CStandardHpfTable::eTableSelectRows);
        auto* delegate = new CBaseTableColumnMultiButtonsDelegate(3, table);
        table->setColumnDelegate(3, delegate);
        for (const char* name : {"a", "b", "c"}) {
            model->addData(row(QString::fromUtf8(name)));
            delegate->setItemButtons(
                name,
                {ButtonData(3, QStringLiteral("跳转"), ButtonData::eNormalButton, false, {}),
                 ButtonData(4, QStringLiteral("删除"), ButtonData::eLinkButton, false, {})},
                true);
        }
        delegate->setItemVisible("a", false, true);
        delegate->setItemButtons("c", {ButtonData(3, QStringLiteral("跳转"), 1, true, {})}, true);
        table->resize(600, 200);
        owner.resize(600, 200);
        owner.show();
        QVERIFY(QTest::qWaitForWindowExposed(&owner));

        QTableView* view = table->tableView();
        const auto buttonCentre = [&](int shownRow, int button) {
            QStyleOptionViewItem option;
            option.initFrom(view);
            option.font = view->font();
            option.rect = view->visualRect(model->itemModel()->index(shownRow, 3));
            const QVector<QRect> rects =
                delegate->buttonRects(option, model->itemModel()->index(shownRow, 3));
            return button < rects.size() ? rects[button].center() : QPoint(-1, -1);
        };

        QCOMPARE(buttonCentre(0, 0), QPoint(-1, -1)); // row a's buttons are hidden
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, buttonCentre(1, 1));
        QCOMPARE(owner.events.size(), 1);
        QCOMPARE(owner.events[0].type, 228);
        QCOMPARE(owner.events[0].param, 4);
        QCOMPARE(owner.selectedAtEvent[0], 1); // selected before the owner hears of it

        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, buttonCentre(1, 0));
        QCOMPARE(owner.events.size(), 2);
        QCOMPARE(owner.events[1].param, 3);

        // A disabled button raises nothing; press on one button and release on the other neither.
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, buttonCentre(2, 0));
        QTest::mousePress(view->viewport(), Qt::LeftButton, {}, buttonCentre(1, 0));
        QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, buttonCentre(1, 1));
        QCOMPARE(owner.events.size(), 2);

        // Buttons follow their row's key when the rows move.
        model->sort(0, Qt::DescendingOrder); // c, b, a
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, buttonCentre(1, 1));
        QCOMPARE(owner.events.size(), 3);
        QCOMPARE(owner.selectedAtEvent[2], 1);
        QCOMPARE(model->getData(1)->rowKey(), std::string("b"));
    }
};

QTEST_MAIN(TestHpfTable)
#include "tst_hpftable.moc"
