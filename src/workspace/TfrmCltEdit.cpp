#include "TfrmCltEdit.h"
#include "ui_TfrmCltEdit.h"

#include "ClientWorkspace.h"
#include "ReportOutcome.h"
#include "ContactEditor.h"
#include "app/AppConst.h"
#include "app/AppState.h"
#include "app/SalespersonScope.h"
#include "app/TdmData.h"
#include "platform/DataGrid.h"
#include "platform/DataSet.h"
#include "platform/Messages.h"
#include "platform/Modal.h"
#include "platform/Shell.h"
#include "refdata/TreeServices.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QUrl>

namespace {
TfrmCltEdit::GoodsPicker g_goodsPicker;

const QColor kAutoCodeColor(163, 149, 242);

// Whether a cell editor of the grid has the focus.
bool typingInCell(const DataGrid *grid)
{
    const QWidget *f = QApplication::focusWidget();
    return f && grid->viewport()->isAncestorOf(f);
}

// Contacts and products take no more text than their columns hold.
QVector<DataGridColumn> gridColumns(RecordKind kind)
{
    const RecordKindInfo &k = RecordCatalogue::info(kind);
    QVector<DataGridColumn> cols;
    for (const RecordColumn &c : k.columns) {
        DataGridColumn col(QString::fromLatin1(c.field), QString::fromUtf8(c.title), 80);
        col.maxLength = k.maxLength(col.fieldName);
        cols.append(col);
    }
    return cols;
}
} // namespace

void TfrmCltEdit::setGoodsPicker(GoodsPicker picker) { g_goodsPicker = std::move(picker); }

TfrmCltEdit::TfrmCltEdit(ClientWorkspace *workspace, int currentTab, QWidget *parent)
    : RecordEditWindow(RecordCatalogue::info(RecordKind::Customer), parent), ui(new Ui::TfrmCltEdit), m_ws(workspace),
      m_editor(workspace, currentTab)
{
    ui->setupUi(this);
    setObjectName(QStringLiteral("TfrmCltEdit"));
    ui->dtpeditdate->setShowCheckBox(false);
    for (DatePicker *d : {ui->dtpRQ1, ui->dtpRQ2, ui->dtpRQ3})
        d->setShowCheckBox(true);

    // contacts and products: the workspace's cached queries
    ui->DBGridEh1->setDataSet(m_ws->detail(RecordKind::Contact));
    ui->DBGridEh1->setColumns(gridColumns(RecordKind::Contact));
    ui->DBGridEh1->setReadOnly(false);
    QVector<DataGridColumn> goods = gridColumns(RecordKind::CustomerProduct);
    for (DataGridColumn &c : goods)
        if (c.fieldName == QLatin1String("F_GDname"))
            c.alwaysShowEditButton = bool(g_goodsPicker);
    ui->DBGridEh2->setDataSet(m_ws->detail(RecordKind::CustomerProduct));
    ui->DBGridEh2->setColumns(goods);
    ui->DBGridEh2->setReadOnly(false);
    connect(ui->DBGridEh2, &DataGrid::editButtonClicked, this, [this](int, int) {
        if (g_goodsPicker)
            g_goodsPicker(this, m_ws->detail(RecordKind::CustomerProduct));
    });

    // grid commands of pages 2 and 3
    m_action1 = new QAction(QStringLiteral("新增"), this);
    m_action1->setObjectName(QStringLiteral("Action1"));
    m_action2 = new QAction(QStringLiteral("删除"), this);
    m_action2->setObjectName(QStringLiteral("Action2"));
    connect(m_action1, &QAction::triggered, this, &TfrmCltEdit::Action1Execute);
    connect(m_action2, &QAction::triggered, this, &TfrmCltEdit::Action2Execute);
    connect(ui->Button6, &QPushButton::clicked, m_action1, &QAction::trigger);
    connect(ui->Button7, &QPushButton::clicked, m_action2, &QAction::trigger);
    m_popupMenu1 = new QMenu(this);
    m_popupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    m_popupMenu1->addAction(m_action1);
    m_popupMenu1->addAction(m_action2);
    for (DataGrid *g : {ui->DBGridEh1, ui->DBGridEh2})
        connect(g, &QWidget::customContextMenuRequested, this,
                [this, g](const QPoint &pos) { m_popupMenu1->popup(g->viewport()->mapToGlobal(pos)); });
    connect(ui->PageControl1, &QTabWidget::currentChanged, this, &TfrmCltEdit::PageControl1Change);

    connect(ui->SpeedButton3, &QToolButton::clicked, this, &TfrmCltEdit::SpeedButton3Click);
    connect(ui->Button3, &QPushButton::clicked, this, [this] { openWeb(ui->edthomepage); });
    connect(ui->Button4, &QPushButton::clicked, this, [this] { sendMail(ui->edtEmail, QStringLiteral("F_email")); });
    connect(ui->Button5, &QPushButton::clicked, this, [this] { sendMail(ui->edtLXRemail, QStringLiteral("F_LXRemail")); });
    ui->DBNavigator1->setDataSet(m_ws->QryMain);
    // Enter on a product's code looks the goods up
    ui->DBGridEh2->setEnterHook([this](int row, int column) { return productsEnter(row, column); });
    setUpBase({ui->Button1, ui->Button2, ui->CheckBox1, ui->DBNavigator1});
    PageControl1Change();
}

TfrmCltEdit::~TfrmCltEdit() { delete ui; }

// ------------------------------------------------------------- modes

void TfrmCltEdit::setCodeBoxAuto(bool automatic)
{
    ui->edtcode->setReadOnly(automatic);
    ui->edtcode->setFocusPolicy(automatic ? Qt::ClickFocus : Qt::StrongFocus);
    QPalette pal = ui->edtName->palette();
    if (automatic)
        pal.setColor(QPalette::Base, kAutoCodeColor);
    ui->edtcode->setPalette(pal);
}

void TfrmCltEdit::ClearFields()
{
    showFields(ClientEditor::emptyFields());
    const bool automatic = appState().AutoCustomerCode;
    ui->edtcode->setText(automatic ? m_editor.nextClientCode() : QString());
    setCodeBoxAuto(automatic);
}

void TfrmCltEdit::LoadFields()
{
    showFields(m_editor.currentFields());
    setCodeBoxAuto(false);
}

void TfrmCltEdit::showFields(const QVariantMap &f)
{
    RecordEditWindow::showFields(f);
    ui->edtxuqiu->setText(f.value(QStringLiteral("F_xuqiu")).toString());
}

void TfrmCltEdit::FormShow()
{
    const AppState &st = appState();
    const QString emp = ui->cbbEmpname->currentText();
    SalespersonScope::fillComboBox(ui->cbbEmpname);
    if (st.EmpScopeFlag != 1)
        ui->cbbEmpname->setEditText(emp);
    // the products' unit price in the unit-price format
    if (!st.UnitPriceFormat.isEmpty()) {
        const int pos = ui->DBGridEh2->columnOfField(QStringLiteral("F_price"));
        if (pos >= 0) {
            DataGridColumn c = ui->DBGridEh2->column(pos);
            c.displayFormat = st.UnitPriceFormat;
            c.footerFormat = st.UnitPriceFormat;
            ui->DBGridEh2->setColumn(pos, c);
        }
    }
    ApplyPreferredIme(this);
    ui->PageControl1->setCurrentIndex(0);
    const struct
    {
        QLabel *label;
        int setting;
    } captions[] = {{ui->lblZF1, 1}, {ui->lblZF2, 2}, {ui->lblZF3, 3}, {ui->lblZF4, 4},  {ui->lblZF5, 5}, {ui->lblSZ1, 6},
                    {ui->lblSZ2, 7}, {ui->lblSZ3, 8}, {ui->lblRQ1, 9}, {ui->lblRQ2, 10}, {ui->lblRQ3, 11}};
    for (const auto &c : captions) {
        const QString caption = st.custom(c.setting).trimmed();
        if (!caption.isEmpty())
            c.label->setText(caption + QStringLiteral("："));
    }
    ui->edtName->setFocus();
}

void TfrmCltEdit::prepare(EditMode mode)
{
    switch (mode) {
    case EditMode::Edit:
        LoadFields();
        break;
    case EditMode::Copy:
        LoadFields();
        if (appState().AutoCustomerCode) {
            ui->edtcode->setText(m_editor.nextClientCode());
            setCodeBoxAuto(true);
        } else {
            ui->edtcode->clear();
        }
        break;
    case EditMode::New:
        ClearFields();
        break;
    }
    m_editor.setAutoCode(appState().AutoCustomerCode);
    reportOutcome(m_editor.begin(mode));
    FormShow();
}

void TfrmCltEdit::finish(bool accepted) { reportOutcome(m_editor.end(accepted)); }

void TfrmCltEdit::beforeSave()
{
    // a cell still being typed belongs to the save
    for (DataGrid *g : {ui->DBGridEh1, ui->DBGridEh2})
        if (typingInCell(g))
            g->setFocus();
}

void TfrmCltEdit::nextRecord()
{
    ClearFields();
    reportOutcome(m_editor.beginNext());
    ui->PageControl1->setCurrentIndex(0);
    ui->edtName->setFocus();
}

// ------------------------------------------------------------- buttons

void TfrmCltEdit::SpeedButton3Click()
{
    ui->edthangye->setText(PickTreePath(this, ui->edthangye->text()));
}

void TfrmCltEdit::PageControl1Change()
{
    const int page = ui->PageControl1->currentIndex();
    const bool grid = page == 2 || page == 3;
    m_action1->setVisible(grid);
    m_action2->setVisible(grid);
    ui->Button6->setVisible(grid);
    ui->Button7->setVisible(grid);
}

void TfrmCltEdit::Action1Execute()
{
    const int page = ui->PageControl1->currentIndex();
    if (page != 2 && page != 3)
        return;
    DataGrid *g = page == 2 ? ui->DBGridEh1 : ui->DBGridEh2;
    DataSet *d = g->dataSet();
    if (d->isEditing() && !d->post())
        d->cancel();
    if (!d->append())
        return;
    g->setFocus();
    g->setCurrentIndex(g->model()->index(d->currentRow(), 0));
}

void TfrmCltEdit::Action2Execute()
{
    const int page = ui->PageControl1->currentIndex();
    if (page != 2 && page != 3)
        return;
    DataSet *d = (page == 2 ? ui->DBGridEh1 : ui->DBGridEh2)->dataSet();
    if (d->currentRow() >= 0)
        d->deleteCurrent();
}

void TfrmCltEdit::navigated()
{
    // moving drops what was typed for the previous customer
    LoadFields();
    reportOutcome(m_editor.begin(EditMode::Edit));
}

// Enter on the code of a product: the row takes the goods of that code.
bool TfrmCltEdit::productsEnter(int row, int column)
{
    DataGrid *g = ui->DBGridEh2;
    DataSet *products = m_ws->detail(RecordKind::CustomerProduct);
    if (g->fieldIndexOf(column) < 0 || g->column(column).fieldName.compare(QLatin1String("F_GDcode"), Qt::CaseInsensitive) != 0)
        return false;
    if (row < 0 || row >= products->recordCount() || products->value(row, QStringLiteral("F_GDcode")).toString().trimmed().isEmpty())
        return false; // nothing to look up: Enter edits the cell
    switch (m_editor.fillProductFromGoods(row)) {
    case ClientEditor::GoodsLookup::Failed:
        ShowMess(Msg::OperationFailed(), MessError);
        return true;
    case ClientEditor::GoodsLookup::NotFound: {
        const QString code = products->value(row, QStringLiteral("F_GDcode")).toString().trimmed();
        ShowMess(QStringLiteral("商品\"") + code + QStringLiteral("\"不存在，请检查输入？"), MessInfo);
        g->setCurrentIndex(g->model()->index(row, 0));
        g->setFocus();
        return true;
    }
    case ClientEditor::GoodsLookup::Filled: {
        const int price = g->columnOfField(QStringLiteral("F_price"));
        g->setCurrentIndex(g->model()->index(row, price >= 0 ? price : column));
        g->setFocus();
        return true;
    }
    case ClientEditor::GoodsLookup::NoCode:
        break;
    }
    return false;
}
