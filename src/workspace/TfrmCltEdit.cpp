#include "TfrmCltEdit.h"
#include "ui_TfrmCltEdit.h"

#include "ClientWorkspace.h"
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
#include "security/EnterAsTab.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QUrl>

namespace {
TfrmCltEdit::GoodsPicker g_goodsPicker;

const QColor kAutoCodeColor(163, 149, 242);

// Which drop-down list a combo box gets when it is entered.
QString codeListType(const QString &combo)
{
    static const QHash<QString, QString> types = {{QStringLiteral("cbbtype"), QStringLiteral("clttype")},
                                                  {QStringLiteral("cbblaiyuan"), QStringLiteral("laiyuan")},
                                                  {QStringLiteral("cbbprovince"), QStringLiteral("province")},
                                                  {QStringLiteral("cbbxuqiu"), QStringLiteral("xuqiu")},
                                                  {QStringLiteral("cbbLXRdept"), QStringLiteral("dept")},
                                                  {QStringLiteral("cbbLXRduty"), QStringLiteral("duty")}};
    return types.value(combo);
}

// Control of each column the window edits.
const QList<FormFields::Binding> &controlNames()
{
    static const QList<FormFields::Binding> names = {
        {"F_name", "edtName"},         {"F_code", "edtcode"},         {"F_type", "cbbtype"},         {"F_hangye", "edthangye"},
        {"F_laiyuan", "cbblaiyuan"},   {"F_country", "cbbcountry"},   {"F_province", "cbbprovince"}, {"F_city", "edtcity"},
        {"F_postcode", "edtPostcode"}, {"F_address", "edtaddress"},   {"F_phone", "edtPhone"},       {"F_fax", "edtFax"},
        {"F_homepage", "edthomepage"}, {"F_email", "edtEmail"},       {"F_enrol", "edtEnrol"},       {"F_shuihao", "edtshuihao"},
        {"F_khbank", "edtkhbank"},     {"F_bankcode", "edtbankcode"}, {"F_good", "edtgood"},         {"F_xuqiu", "cbbxuqiu"},
        {"F_empName", "cbbEmpname"},   {"F_editdate", "dtpeditdate"}, {"F_useFlag", "CheckBox2"},    {"F_mem", "Mem"},
        {"F_LXRname", "edtLXRname"},   {"F_LXRdept", "cbbLXRdept"},   {"F_LXRduty", "cbbLXRduty"},   {"F_LXRphone", "edtLXRphone"},
        {"F_LXRqq", "edtLXRqq"},       {"F_LXRemail", "edtLXRemail"}, {"F_ZF1", "edtZF1"},           {"F_ZF2", "edtZF2"},
        {"F_ZF3", "edtZF3"},           {"F_ZF4", "edtZF4"},           {"F_ZF5", "edtZF5"},           {"F_SZ1", "rceSZ1"},
        {"F_SZ2", "rceSZ2"},           {"F_SZ3", "rceSZ3"},           {"F_RQ1", "dtpRQ1"},           {"F_RQ2", "dtpRQ2"},
        {"F_RQ3", "dtpRQ3"}};
    return names;
}

// Whether a cell editor of the grid has the focus.
bool typingInCell(const DataGrid *grid)
{
    const QWidget *f = QApplication::focusWidget();
    return f && grid->viewport()->isAncestorOf(f);
}

// Contacts and products take no more text than their columns hold.
QVector<DataGridColumn> gridColumns(const QList<QPair<QString, QString>> &designed, bool products)
{
    QVector<DataGridColumn> cols;
    for (const auto &c : designed) {
        DataGridColumn col(c.first, c.second, 80);
        const QString f = c.first.toLower();
        if (!products)
            col.maxLength = ContactEditor::maxLength(c.first);
        else if (f == QLatin1String("f_type"))
            col.maxLength = 255;
        else if (f != QLatin1String("f_mem") && f != QLatin1String("f_price") && f != QLatin1String("f_editdate"))
            col.maxLength = 50;
        cols.append(col);
    }
    return cols;
}
} // namespace

void TfrmCltEdit::setGoodsPicker(GoodsPicker picker) { g_goodsPicker = std::move(picker); }

TfrmCltEdit::TfrmCltEdit(ClientWorkspace *workspace, int currentTab, QWidget *parent)
    : QDialog(parent), ui(new Ui::TfrmCltEdit), m_ws(workspace), m_editor(workspace, currentTab),
      m_fields(this, controlNames())
{
    ui->setupUi(this);
    setObjectName(QStringLiteral("TfrmCltEdit"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    // field sizes: nothing typed is cut off at the database
    m_fields.setMaxLengths(ClientEditor::maxLength);
    ui->CheckBox1->setChecked(true);
    ui->dtpeditdate->setShowCheckBox(false);
    for (DatePicker *d : {ui->dtpRQ1, ui->dtpRQ2, ui->dtpRQ3})
        d->setShowCheckBox(true);

    // contacts and products: the workspace's cached queries
    ui->DBGridEh1->setDataSet(m_ws->detail(2));
    ui->DBGridEh1->setColumns(gridColumns(ClientWorkspace::tab(2).columns, false));
    ui->DBGridEh1->setReadOnly(false);
    QVector<DataGridColumn> goods = gridColumns(ClientWorkspace::tab(8).columns, true);
    for (DataGridColumn &c : goods)
        if (c.fieldName == QLatin1String("F_GDname"))
            c.alwaysShowEditButton = bool(g_goodsPicker);
    ui->DBGridEh2->setDataSet(m_ws->detail(8));
    ui->DBGridEh2->setColumns(goods);
    ui->DBGridEh2->setReadOnly(false);
    connect(ui->DBGridEh2, &DataGrid::editButtonClicked, this, [this](int, int) {
        if (g_goodsPicker)
            g_goodsPicker(this, m_ws->detail(8));
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

    connect(ui->Button1, &QPushButton::clicked, this, &TfrmCltEdit::Button1Click);
    connect(ui->Button2, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui->SpeedButton3, &QToolButton::clicked, this, &TfrmCltEdit::SpeedButton3Click);
    connect(ui->Button3, &QPushButton::clicked, this, &TfrmCltEdit::Button3Click);
    connect(ui->Button4, &QPushButton::clicked, this, [this] { sendMail(ui->edtEmail); });
    connect(ui->Button5, &QPushButton::clicked, this, [this] { sendMail(ui->edtLXRemail); });
    ui->DBNavigator1->setDataSet(m_ws->QryMain);
    connect(ui->DBNavigator1, &DataNavigator::moved, this, &TfrmCltEdit::DBNavigator1Moved);

    EnterAsTab::install(this);
    // after EnterAsTab, so that this window sees the keys first
    qApp->installEventFilter(this);
    PageControl1Change();
}

TfrmCltEdit::~TfrmCltEdit()
{
    qApp->removeEventFilter(this);
    delete ui;
}

// ------------------------------------------------------------- modes

void TfrmCltEdit::SetEditMode(bool edit)
{
    ui->CheckBox1->setVisible(!edit);
    ui->DBNavigator1->setVisible(edit);
    setWindowTitle(edit ? QStringLiteral("客户档案 - 修改") : QStringLiteral("客户档案 - 新增"));
}

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
    m_fields.show(f);
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

void TfrmCltEdit::ShowRecord(int mode)
{
    switch (mode) {
    case ClientEditor::Edit:
        SetEditMode(true);
        LoadFields();
        break;
    case ClientEditor::Copy:
        SetEditMode(false);
        LoadFields();
        if (appState().AutoCustomerCode) {
            ui->edtcode->setText(m_editor.nextClientCode());
            setCodeBoxAuto(true);
        } else {
            ui->edtcode->clear();
        }
        break;
    default:
        SetEditMode(false);
        ClearFields();
        break;
    }
    m_editor.begin(mode);
    FormShow();
    const int result = execModal(this);
    m_editor.end(result == QDialog::Accepted);
}

// ------------------------------------------------------------- save

void TfrmCltEdit::Button1Click()
{
    // a cell still being typed belongs to the save
    for (DataGrid *g : {ui->DBGridEh1, ui->DBGridEh2})
        if (typingInCell(g))
            g->setFocus();
    QVariantMap fields = m_fields.collect();
    const ClientEditor::Result r = m_editor.save(fields, appState().AutoCustomerCode);
    ui->edtcode->setText(fields.value(QStringLiteral("F_code")).toString());
    switch (r) {
    case ClientEditor::Result::Invalid:
        m_fields.focus(m_editor.focusField());
        return;
    case ClientEditor::Result::Failed:
    case ClientEditor::Result::Conflict:
        return;
    case ClientEditor::Result::Saved:
    case ClientEditor::Result::SavedRefreshFailed:
        break;
    }
    if (m_editor.isEditMode() || !ui->CheckBox1->isChecked()) {
        accept();
        return;
    }
    // continuous add: the next customer
    ClearFields();
    m_editor.beginNext();
    SetEditMode(false);
    ui->PageControl1->setCurrentIndex(0);
    ui->edtName->setFocus();
}

// ------------------------------------------------------------- buttons

void TfrmCltEdit::SpeedButton3Click()
{
    ui->edthangye->setText(PickTreePath(this, ui->edthangye->text()));
}

void TfrmCltEdit::Button3Click()
{
    const QString address = ui->edthomepage->text().trimmed();
    if (!address.isEmpty())
        Shell::openUrl(QUrl::fromUserInput(address));
}

void TfrmCltEdit::sendMail(QLineEdit *box)
{
    const QString address = box->text().trimmed();
    if (!address.contains(QLatin1Char('@'))) {
        ShowMess(QStringLiteral("非法电子邮箱！"), MessError);
        m_fields.focus(box == ui->edtEmail ? QStringLiteral("F_email") : QStringLiteral("F_LXRemail"));
        return;
    }
    Shell::openUrl(QUrl(QStringLiteral("mailto:") + address + QStringLiteral("?subject")));
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

void TfrmCltEdit::DBNavigator1Moved()
{
    // moving drops what was typed for the previous customer
    LoadFields();
    m_editor.begin(ClientEditor::Edit);
}

// Enter on the code of a product: the row takes the goods of that code.
void TfrmCltEdit::productsEnter(int row, int column)
{
    DataGrid *g = ui->DBGridEh2;
    const ClientEditor::GoodsLookup r = m_editor.fillProductFromGoods(row);
    if (r == ClientEditor::GoodsLookup::NotFound) {
        const QString code = m_ws->detail(8)->value(row, QStringLiteral("F_GDcode")).toString().trimmed();
        ShowMess(QStringLiteral("商品\"") + code + QStringLiteral("\"不存在，请检查输入？"), MessInfo);
        g->setCurrentIndex(g->model()->index(row, 0));
        g->setFocus();
        return;
    }
    if (r == ClientEditor::GoodsLookup::Filled && column == 0) {
        const int price = g->columnOfField(QStringLiteral("F_price"));
        g->setCurrentIndex(g->model()->index(row, price >= 0 ? price : 0));
        g->setFocus();
    }
}

// ------------------------------------------------------------- keys

bool TfrmCltEdit::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusIn) {
        // drop-down lists are read when a box is entered
        auto *cb = qobject_cast<QComboBox *>(watched);
        if (cb && cb->window() == this && (cb == ui->cbbcountry || !codeListType(cb->objectName()).isEmpty())) {
            const QString text = cb->currentText();
            if (cb == ui->cbbcountry)
                dmData->FillComboBox(QStringLiteral("select F_name from t_code where (F_name <> '') and F_type = 'country' order by F_ID"), cb);
            else
                dmData->FillCodeList(codeListType(cb->objectName()), cb);
            cb->setEditText(text);
        }
        return false;
    }
    if (event->type() != QEvent::KeyPress || !isVisible())
        return false;
    auto *w = qobject_cast<QWidget *>(watched);
    if (!w || w->window() != this)
        return false;
    auto *ke = static_cast<QKeyEvent *>(event);
    const bool inGrid = ui->DBGridEh1->isAncestorOf(w) || ui->DBGridEh2->isAncestorOf(w) || w == ui->DBGridEh1 || w == ui->DBGridEh2;
    if (ke->key() == Qt::Key_S && ke->modifiers() == Qt::ControlModifier) {
        if (ui->Button1->isEnabled())
            ui->Button1->click();
        return true;
    }
    if (ke->key() == Qt::Key_Escape && ke->modifiers() == Qt::NoModifier) {
        // a grid first drops the cell or row being typed
        DataGrid *g = ui->DBGridEh1->isAncestorOf(w) || w == ui->DBGridEh1 ? ui->DBGridEh1 : ui->DBGridEh2;
        if (inGrid && (typingInCell(g) || (g->dataSet() && g->dataSet()->isEditing())))
            return false;
        if (ui->Button2->isEnabled())
            ui->Button2->click();
        return true;
    }
    const bool enter = (ke->key() == Qt::Key_Return || ke->key() == Qt::Key_Enter) && !(ke->modifiers() & ~Qt::KeypadModifier);
    DataGrid *g = ui->DBGridEh2;
    if (enter && !m_inProductsEnter && (g->isAncestorOf(w) || w == g)) {
        const QModelIndex cur = g->currentIndex();
        if (!cur.isValid() || g->fieldIndexOf(cur.column()) < 0
            || g->column(cur.column()).fieldName.compare(QLatin1String("F_GDcode"), Qt::CaseInsensitive) != 0)
            return false;
        const int row = cur.row();
        const int column = cur.column();
        m_inProductsEnter = true;
        if (typingInCell(g)) {
            // the typed code goes into the row as Tab would take it
            QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
            QCoreApplication::sendEvent(w, &tab);
        } else if (m_ws->detail(8)->value(row, QStringLiteral("F_GDcode")).toString().trimmed().isEmpty()) {
            m_inProductsEnter = false;
            return false; // nothing to look up: Enter edits the cell
        }
        productsEnter(row, column);
        m_inProductsEnter = false;
        return true;
    }
    return false;
}
