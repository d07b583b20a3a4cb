#include "widgets/hpf/CStandardHpfTable.h"

#include "widgets/hpf/IBaseHpfTableModel.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QResizeEvent>
#include <QStringList>
#include <QTableView>

namespace XP {

CStandardHpfTable::CStandardHpfTable(int id, QWidget* parent, int menuFlags)
    : CEventWidgetT<QWidget>(parent)
    , tableId(id)
    , menu(menuFlags)
    , view(new QTableView(this))
    , emptyLabel(new QLabel(view->viewport()))
{
    view->setWordWrap(false);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setDefaultSectionSize(rowHeight);
    view->horizontalHeader()->setStretchLastSection(true);
    // Column widths follow the header and the first rows only, so that fitting them stays cheap.
    view->horizontalHeader()->setResizeContentsPrecision(fittedRows);
    view->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    view->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(view, &QWidget::customContextMenuRequested, this, &CStandardHpfTable::slotContextMenu);
    emptyLabel->setAlignment(Qt::AlignCenter);
    emptyLabel->hide();
    applyFlags();
}

CStandardHpfTable::~CStandardHpfTable()
{
    // The view lets go of the Qt model before the model goes.
    delete view;
}

void CStandardHpfTable::setDataModel(IBaseHpfTableModel* newModel)
{
    if (newModel == model.get()) {
        return;
    }
    std::unique_ptr<IBaseHpfTableModel> previous = std::move(model);
    model.reset(newModel);
    view->setModel(model ? model->itemModel() : nullptr);
    if (model) {
        QAbstractItemModel* items = model->itemModel();
        connect(items, &QAbstractItemModel::rowsInserted, this, &CStandardHpfTable::updateEmptyText);
        connect(items, &QAbstractItemModel::rowsRemoved, this, &CStandardHpfTable::updateEmptyText);
        connect(items, &QAbstractItemModel::modelReset, this, &CStandardHpfTable::updateEmptyText);
    }
    applyFlags();
    applyModelSettings();
}

void CStandardHpfTable::setFlag(int newFlags)
{
    flags = newFlags;
    applyFlags();
}

void CStandardHpfTable::setColumnDelegate(int column, QAbstractItemDelegate* delegate)
{
    QAbstractItemDelegate* previous = view->itemDelegateForColumn(column);
    if (delegate) {
        delegate->setParent(view);
    }
    view->setItemDelegateForColumn(column, delegate);
    if (previous && previous != delegate && previous->parent() == view) {
        previous->deleteLater();
    }
}

int CStandardHpfTable::selectedRow() const
{
    const QItemSelectionModel* selection = view->selectionModel();
    if (!model || !selection) {
        return -1;
    }
    const QModelIndex current = selection->currentIndex();
    if (current.isValid() && selection->isSelected(current)) {
        return model->rowOfShownRow(current.row());
    }
    const QModelIndexList selected = selection->selectedIndexes();
    int lowest = -1;
    for (const QModelIndex& index : selected) {
        if (lowest < 0 || index.row() < lowest) {
            lowest = index.row();
        }
    }
    return model->rowOfShownRow(lowest);
}

void CStandardHpfTable::selectRow(int row)
{
    QItemSelectionModel* selection = view->selectionModel();
    if (!model || !selection) {
        return;
    }
    const int shownRow = model->shownRowOfRow(row);
    if (shownRow < 0) {
        selection->clearSelection();
        return;
    }
    selection->setCurrentIndex(model->itemModel()->index(shownRow, 0),
                               QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

int CStandardHpfTable::rowCount() const
{
    return model ? model->rowCount() : 0;
}

void CStandardHpfTable::updateTable()
{
    applyModelSettings();
    view->resizeColumnsToContents();
    view->viewport()->update();
}

QMenu* CStandardHpfTable::createContextMenu(const QPoint& position)
{
    const QModelIndex index = view->indexAt(position);
    if (!index.isValid()) {
        return nullptr;
    }
    auto* contextMenu = new QMenu(this);
    if (menu & eMenuCopyCell) {
        connect(contextMenu->addAction(QStringLiteral("复制")), &QAction::triggered, this,
                [this, index = QPersistentModelIndex(index)] { copyCell(index); });
    }
    if (menu & eMenuCopyRow) {
        connect(contextMenu->addAction(QStringLiteral("复制整行")), &QAction::triggered, this,
                [this, index = QPersistentModelIndex(index)] { copyRow(index); });
    }
    return contextMenu;
}

void CStandardHpfTable::resizeEvent(QResizeEvent* event)
{
    view->setGeometry(rect());
    emptyLabel->setGeometry(view->viewport()->rect());
    CEventWidgetT<QWidget>::resizeEvent(event);
}

void CStandardHpfTable::applyFlags()
{
    view->setShowGrid(flags & eTableGrid);
    view->horizontalHeader()->setVisible(flags & eTableHeader);
    view->setSelectionBehavior((flags & eTableSelectRows) ? QAbstractItemView::SelectRows
                                                          : QAbstractItemView::SelectItems);
    view->setSelectionMode((flags & eTableMultiSelect) ? QAbstractItemView::ExtendedSelection
                                                       : QAbstractItemView::SingleSelection);
}

void CStandardHpfTable::applyModelSettings()
{
    if (!model) {
        updateEmptyText();
        return;
    }
    view->verticalHeader()->setVisible(model->showRowNumbers());
    const QString itemStyle = QStringLiteral("QTableView::item { padding-left: %1px; padding-right: %1px; }")
                                  .arg(model->textMargin());
    // Setting a style sheet polishes the whole view again: only when it changes.
    if (view->styleSheet() != itemStyle) {
        view->setStyleSheet(itemStyle);
    }
    if (view->isSortingEnabled() != model->isSortable()) {
        view->setSortingEnabled(model->isSortable());
    }
    updateEmptyText();
}

void CStandardHpfTable::updateEmptyText()
{
    const QString text = model ? model->emptyText() : QString();
    const bool show = !text.isEmpty() && model->shownRowCount() == 0;
    emptyLabel->setText(text);
    emptyLabel->setGeometry(view->viewport()->rect());
    emptyLabel->setVisible(show);
}

void CStandardHpfTable::copyCell(const QModelIndex& index)
{
    const auto row =
        model ? model->getData(model->rowOfShownRow(index.row())) : IBaseHpfTableModel::DataPtr();
    if (row) {
        QApplication::clipboard()->setText(row->cellText(index.column()));
    }
}

void CStandardHpfTable::copyRow(const QModelIndex& index)
{
    const auto row =
        model ? model->getData(model->rowOfShownRow(index.row())) : IBaseHpfTableModel::DataPtr();
    if (!row) {
        return;
    }
    QStringList texts;
    for (int column = 0; column < model->columnCount(); ++column) {
        texts.append(row->cellText(column));
    }
    QApplication::clipboard()->setText(texts.join(QLatin1Char('\t')));
}

void CStandardHpfTable::slotContextMenu(const QPoint& position)
{
    QMenu* contextMenu = createContextMenu(position);
    if (!contextMenu) {
        return;
    }
    contextMenu->setAttribute(Qt::WA_DeleteOnClose);
    contextMenu->popup(view->viewport()->mapToGlobal(position));
}

} // namespace XP
