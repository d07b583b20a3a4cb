#include "widgets/hpf/CStandardHpfTable.h"
#include "widgets/hpf/IBaseHpfTableModel.h"

#include <QApplication>
#include <QHeaderView>
#include <QImage>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTableView>

#include <boost/make_shared.hpp>

#include <benchmark/benchmark.h>

#include <memory>

// An exchange list of many rows: filling the host table and filtering it by name, each measured beside a
// QTableView over QStandardItemModel (with QSortFilterProxyModel for the filter) doing the same, so that
// the results read as ratios. Every run ends with the table painted into an image.
namespace {

class CExchangeRow : public XP::IBaseHpfTableData
{
public:
    explicit CExchangeRow(int number)
        : name(QStringLiteral("交易所%1").arg(number))
        , code(QStringLiteral("C%1").arg(number))
        , track(QStringLiteral("赛道%1").arg(number % 7))
    {}
    QString displayText(int column) const override { return cellText(column); }
    QString cellText(int column) const override
    {
        return column == 0 ? name : column == 2 ? track : QString();
    }
    qint64 integerValue(int) const override { return 0; }
    double floatValue(int) const override { return 0.0; }
    int sortKind(int) const override { return eSortByText; }
    QColor textColor() const override { return QColor(Qt::black); }
    std::string rowKey() const override { return (code + track).toStdString(); }

    QString name;
    QString code;
    QString track;
};

class CExchangeModel : public XP::IBaseHpfTableModel
{
public:
    CExchangeModel()
        : XP::IBaseHpfTableModel(true)
    {}
    int columnCount() const override { return 3; }
    QString headerText(int column) const override { return QStringLiteral("列%1").arg(column); }
    QColor rowBackground(int row) const override
    {
        return (row & 1) ? QColor(240, 240, 240) : QColor(Qt::white);
    }
};

constexpr int tableWidth = 900;
constexpr int tableHeight = 600;

void render(QWidget* widget, QImage& image)
{
    QApplication::processEvents();
    widget->render(&image);
    benchmark::DoNotOptimize(image.bits());
}

struct SHostTable
{
    SHostTable()
        : table(0, nullptr, 0)
        , model(new CExchangeModel)
    {
        table.setDataModel(model);
        table.resize(tableWidth, tableHeight);
        table.show();
    }
    void fill(int rows)
    {
        model->clear();
        for (int i = 0; i < rows; ++i) {
            model->addData(boost::make_shared<CExchangeRow>(i));
        }
        table.updateTable();
    }
    XP::CStandardHpfTable table;
    CExchangeModel* model;
};

struct SReferenceTable
{
    SReferenceTable()
    {
        proxy.setSourceModel(&items);
        proxy.setFilterKeyColumn(0);
        proxy.setFilterCaseSensitivity(Qt::CaseInsensitive);
        view.setModel(&proxy);
        view.verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        view.verticalHeader()->setDefaultSectionSize(XP::CStandardHpfTable::rowHeight);
        view.resize(tableWidth, tableHeight);
        view.show();
    }
    void fill(int rows)
    {
        items.clear();
        items.setColumnCount(3);
        for (int i = 0; i < rows; ++i) {
            items.appendRow({new QStandardItem(QStringLiteral("交易所%1").arg(i)), new QStandardItem(),
                             new QStandardItem(QStringLiteral("赛道%1").arg(i % 7))});
        }
    }
    QStandardItemModel items;
    QSortFilterProxyModel proxy;
    QTableView view;
};

void BM_HpfTableFill(benchmark::State& state)
{
    SHostTable host;
    QImage image(tableWidth, tableHeight, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        host.fill(int(state.range(0)));
        render(&host.table, image);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_QStandardItemModelFill(benchmark::State& state)
{
    SReferenceTable reference;
    QImage image(tableWidth, tableHeight, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        reference.fill(int(state.range(0)));
        render(&reference.view, image);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// One search and its clearing, as Enter in the search field does them.
void BM_HpfTableFilter(benchmark::State& state)
{
    SHostTable host;
    host.fill(int(state.range(0)));
    QImage image(tableWidth, tableHeight, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        host.model->filterColumn(0, qMakePair(XP::eFilterContains, QSet<QString>{QStringLiteral("所7")}));
        host.table.updateTable();
        render(&host.table, image);
        host.model->clearFilter();
        host.table.updateTable();
        render(&host.table, image);
    }
}

void BM_QSortFilterProxyModelFilter(benchmark::State& state)
{
    SReferenceTable reference;
    reference.fill(int(state.range(0)));
    QImage image(tableWidth, tableHeight, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        reference.proxy.setFilterFixedString(QStringLiteral("所7"));
        render(&reference.view, image);
        reference.proxy.setFilterFixedString(QString());
        render(&reference.view, image);
    }
}

} // namespace

BENCHMARK(BM_HpfTableFill)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QStandardItemModelFill)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HpfTableFilter)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QSortFilterProxyModelFilter)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
