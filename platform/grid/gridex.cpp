#include "platform/grid/gridex.h"
#include "platform/grid/gridmodel.h"

#include <QListView>
#include <QStackedWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace grid {

QString formatValue(const QVariant& v, const QString&) { return v.toString(); }
qint64 toTenThousandths(double v) { return qint64(v * 10000.0); }

GridModel::GridModel(GridEX* owner) : QAbstractTableModel(owner), g_(owner) {}
void GridModel::rebuild() {}
const GridModel::Row* GridModel::row(int) const { return nullptr; }
bool GridModel::hasTotalRow() const { return false; }
int GridModel::displayOfRecord(int) const { return -1; }
void GridModel::recordChanged(int) {}
int GridModel::rowCount(const QModelIndex&) const { return 0; }
int GridModel::columnCount(const QModelIndex&) const { return 0; }
QVariant GridModel::data(const QModelIndex&, int) const { return {}; }
bool GridModel::setData(const QModelIndex&, const QVariant&, int) { return false; }
Qt::ItemFlags GridModel::flags(const QModelIndex&) const { return Qt::NoItemFlags; }
QVariant GridModel::headerData(int, Qt::Orientation, int) const { return {}; }
void GridModel::totalsChanged() {}

GridEX::GridEX(QWidget* parent) : QWidget(parent)
{
    model_ = new GridModel(this);
    stack_ = new QStackedWidget(this);
    table_ = new QTableView;
    cards_ = new QListView;
    stack_->addWidget(table_);
    stack_->addWidget(cards_);
    auto* lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->addWidget(stack_);
    table_->setModel(model_);
    cards_->setModel(model_);
}
GridEX::~GridEX() = default;

void GridEX::bind(ado::RecordsetPtr rs) { rs_ = std::move(rs); }
void GridEX::unbind() { rs_.reset(); }
void GridEX::setGridLayout(Layout layout) { layout_ = layout; }
void GridEX::setCardWidth(int twips) { cardWidthTwips_ = twips; }
void GridEX::setWidthTwips(int) {}
int GridEX::widthTwips() const { return 0; }
void GridEX::operationR() {}
void GridEX::refresh(bool) {}
void GridEX::redraw() {}
void GridEX::setPageMargins(int l, int r) { leftMarginTwips_ = l; rightMarginTwips_ = r; }
void GridEX::groupBy(int column) { groupColumn_ = column; }
int GridEX::groupColumn() const { return groupColumn_; }
int GridEX::rowCount() const { return 0; }
int GridEX::currentRow() const { return 0; }
void GridEX::setCurrentRow(int) {}
RowKind GridEX::rowKind(int) const { return RowKind::None; }
int GridEX::recordOfRow(int) const { return -1; }
int GridEX::firstRecordRow(int) const { return 0; }
QVariant GridEX::value(int, int) const { return {}; }
QString GridEX::text(int, int) const { return {}; }
QString GridEX::groupHeaderText(int) const { return {}; }
void GridEX::setTotalRow(int mode) { totalMode_ = mode; }
void GridEX::setColumnAggregate(int, int) {}
int GridEX::columnAggregate(int) const { return 0; }
void GridEX::setColumnTotalFormat(int, const QString&) {}
void GridEX::setColumnTotalPrefix(int, const QString&) {}
QString GridEX::totalText(int) const { return {}; }
int GridEX::columnCount() const { return 0; }
QString GridEX::fieldName(int) const { return {}; }
int GridEX::columnByCaption(const QString&) const { return 0; }
void GridEX::setColumnHidden(int, bool) {}
bool GridEX::isColumnHidden(int) const { return false; }
void GridEX::setColumnWidth(int, int) {}
int GridEX::columnWidth(int) const { return 0; }
void GridEX::setColumnCaption(int, const QString&) {}
QString GridEX::columnCaption(int) const { return {}; }
void GridEX::setColumnEditType(int, int) {}
int GridEX::columnEditType(int) const { return 0; }
void GridEX::setColumnDropDown(int, GridEX*) {}
GridEX* GridEX::columnDropDown(int) const { return nullptr; }
void GridEX::clearColumnValueList(int) {}
void GridEX::addColumnValueListItem(int, const QVariant&, const QString&) {}
QVector<std::pair<QVariant, QString>> GridEX::columnValueList(int) const { return {}; }
void GridEX::setColumnFormat(int, const QString&) {}
QString GridEX::columnFormat(int) const { return {}; }
void GridEX::setColumnCardCaption(int, bool) {}
int GridEX::cardCaptionColumn() const { return 0; }
bool GridEX::isColumnEditable(int) const { return false; }
QStringList GridEX::listValues() const { return {}; }
bool GridEX::editCell(int, int, const QVariant&) { return false; }
bool GridEX::editPending() const { return false; }
bool GridEX::writeCurrentRow() { return true; }
void GridEX::cancelEdit() {}
int GridEX::hitTest(const QPoint&) const { return haNothing; }
int GridEX::columnAt(const QPoint&) const { return 0; }
int GridEX::rowAt(const QPoint&) const { return 0; }
QPoint GridEX::cellCenter(int, int) const { return {}; }
ReportModel GridEX::reportModel() const { return {}; }
bool GridEX::eventFilter(QObject* w, QEvent* e) { return QWidget::eventFilter(w, e); }
bool GridEX::validColumn(int) const { return false; }
GridEX::ColumnSettings* GridEX::col(int) { return nullptr; }
const GridEX::ColumnSettings* GridEX::col(int) const { return nullptr; }
void GridEX::applyColumns() {}
void GridEX::applyLayout() {}
void GridEX::rebuild() {}
void GridEX::onRowChanged(int) {}
void GridEX::emitCurrentRow() {}
QPoint GridEX::toViewport(const QPoint& p) const { return p; }

}  // namespace grid
