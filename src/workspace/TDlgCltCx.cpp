#include "TDlgCltCx.h"
#include "ui_TDlgCltCx.h"

#include "app/AppState.h"
#include "app/SalespersonScope.h"
#include "app/TdmData.h"
#include "platform/DatePicker.h"
#include "platform/Modal.h"
#include "refdata/TreeServices.h"
#include "platform/EnterAsTab.h"

#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QShortcut>

namespace {
struct DateRow
{
    QCheckBox *check;
    DatePicker *from;
    DatePicker *to;
};
} // namespace

TDlgCltCx::TDlgCltCx(QWidget *parent) : QDialog(parent), ui(new Ui::TDlgCltCx)
{
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    // typed text never goes past what the columns hold
    for (QComboBox *box : {ui->cbbtype, ui->cbblaiyuan, ui->cbbcountry, ui->cbbprovince, ui->cbbEmpname, ui->cbbLXRdept,
                           ui->cbbLXRduty})
        box->lineEdit()->setMaxLength(box == ui->cbbtype ? 100 : 50);
    // these lists are read again each time the operator enters them
    for (QComboBox *box : {ui->cbbtype, ui->cbbprovince, ui->cbbLXRdept, ui->cbbLXRduty})
        box->installEventFilter(this);
    ui->edthangye->setMinimumWidth(160);
    ui->Mem->setMinimumHeight(70);

    const DateRow rows[] = {{ui->CheckBox1, ui->dtpfromDate, ui->dtptoDate},   {ui->CheckBox2, ui->dtpfromDate1, ui->dtptoDate1},
                            {ui->CheckBox3, ui->dtpfromDate2, ui->dtptoDate2}, {ui->CheckBox4, ui->dtpfromDate3, ui->dtptoDate3},
                            {ui->CheckBox5, ui->dtpfromDate4, ui->dtptoDate4}};
    for (const DateRow &r : rows) {
        for (DatePicker *p : {r.from, r.to}) {
            p->setShowCheckBox(true);
            p->setChecked(true);
            p->setEnabled(false);
            p->setMinimumWidth(140);
        }
        connect(r.check, &QCheckBox::toggled, this, [r](bool on) {
            r.from->setEnabled(on);
            r.to->setEnabled(on);
        });
    }
    // the first custom date starts far back
    ui->dtpfromDate2->setDateTime(QDateTime(QDate(2005, 5, 1), QTime(0, 0)));

    connect(ui->Button1, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui->Button2, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui->SpeedButton3, &QToolButton::clicked, this, &TDlgCltCx::SpeedButton3Click);

    EnterAsTab::install(this);
    auto *save = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_S), this);
    connect(save, &QShortcut::activated, this, [this] {
        if (ui->Button1->isEnabled())
            ui->Button1->click();
    });
}

TDlgCltCx::~TDlgCltCx() { delete ui; }

std::optional<SqlStatement> TDlgCltCx::AskSearchStatement()
{
    if (execModal(this) != QDialog::Accepted)
        return std::nullopt;
    return search().statement();
}

void TDlgCltCx::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TDlgCltCx::FormShow()
{
    dmData->FillComboBox(QStringLiteral("select F_name from t_code where (F_name <> '') and F_type = :type order by F_ID"),
                         ui->cbbcountry, {{QStringLiteral("type"), QStringLiteral("country")}});
    dmData->FillCodeList(QStringLiteral("laiyuan"), ui->cbblaiyuan);
    SalespersonScope::fillComboBox(ui->cbbEmpname);
    for (QComboBox *box : {ui->cbbcountry, ui->cbblaiyuan})
        box->setCurrentIndex(-1);
    if (ui->cbbEmpname->isEnabled())
        ui->cbbEmpname->setCurrentIndex(-1);

    const QDate today = QDate::currentDate();
    const QDateTime monthStart(QDate(today.year(), today.month(), 1), QTime(0, 0));
    for (DatePicker *p : {ui->dtpfromDate, ui->dtpfromDate1, ui->dtpfromDate3, ui->dtpfromDate4})
        p->setDateTime(monthStart);
    for (DatePicker *p : {ui->dtptoDate, ui->dtptoDate1, ui->dtptoDate2, ui->dtptoDate3, ui->dtptoDate4})
        p->setDateTime(QDateTime::currentDateTime());

    const AppState &st = appState();
    QLabel *const zf[] = {ui->lblZF1, ui->lblZF2, ui->lblZF3, ui->lblZF4, ui->lblZF5};
    for (int i = 0; i < 5; ++i)
        zf[i]->setText(st.custom(i + 1) + QStringLiteral("："));
    QCheckBox *const rq[] = {ui->CheckBox3, ui->CheckBox4, ui->CheckBox5};
    for (int i = 0; i < 3; ++i)
        rq[i]->setText(st.custom(9 + i) + QStringLiteral("：自"));
    ui->PageControl1->setCurrentIndex(0);
    ui->edtName->setFocus();
}

bool TDlgCltCx::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusIn && static_cast<QFocusEvent *>(event)->reason() != Qt::PopupFocusReason) {
        if (watched == ui->cbbtype)
            refill(ui->cbbtype, QStringLiteral("clttype"));
        else if (watched == ui->cbbprovince)
            refill(ui->cbbprovince, QStringLiteral("province"));
        else if (watched == ui->cbbLXRdept)
            refill(ui->cbbLXRdept, QStringLiteral("dept"));
        else if (watched == ui->cbbLXRduty)
            refill(ui->cbbLXRduty, QStringLiteral("duty"));
    }
    return QDialog::eventFilter(watched, event);
}

void TDlgCltCx::refill(QComboBox *box, const QString &codeList)
{
    const QString typed = box->currentText();
    dmData->FillCodeList(codeList, box);
    box->setCurrentIndex(-1);
    box->setEditText(typed);
}

void TDlgCltCx::SpeedButton3Click()
{
    ui->edthangye->setText(PickTreePath(this, ui->edthangye->text()));
}

CustomerSearch TDlgCltCx::search() const
{
    CustomerSearch s;
    s.name = ui->edtName->text();
    s.code = ui->edtcode->text();
    s.type = ui->cbbtype->currentText();
    s.industry = ui->edthangye->text();
    s.source = ui->cbblaiyuan->currentText();
    s.country = ui->cbbcountry->currentText();
    s.province = ui->cbbprovince->currentText();
    s.city = ui->edtcity->text();
    s.postcode = ui->edtPostcode->text();
    s.address = ui->edtaddress->text();
    s.phone = ui->edtPhone->text();
    s.goods = ui->edtgood->text();
    s.salesperson = ui->cbbEmpname->currentText();
    s.needs = ui->edtxuqiu->text();
    s.memo = ui->Mem->toPlainText();
    s.contactName = ui->edtLXRname->text();
    s.contactDept = ui->cbbLXRdept->currentText();
    s.contactDuty = ui->cbbLXRduty->currentText();
    s.contactPhone = ui->edtLXRphone->text();
    s.contactQQ = ui->edtLXRqq->text();
    s.contactEmail = ui->edtLXRemail->text();
    const QLineEdit *const zf[] = {ui->edtZF1, ui->edtZF2, ui->edtZF3, ui->edtZF4, ui->edtZF5};
    for (int i = 0; i < 5; ++i)
        s.custom[i] = zf[i]->text();
    s.useState = ui->rbUseAll->isChecked() ? 0 : ui->rbUseOff->isChecked() ? 2 : 1;

    const auto range = [](const QCheckBox *check, const DatePicker *from, const DatePicker *to) {
        CustomerSearch::DateRange r;
        r.enabled = check->isChecked();
        r.fromChecked = from->isChecked();
        r.from = from->date();
        r.toChecked = to->isChecked();
        r.to = to->date();
        return r;
    };
    s.deal = range(ui->CheckBox1, ui->dtpfromDate, ui->dtptoDate);
    s.followUp = range(ui->CheckBox2, ui->dtpfromDate1, ui->dtptoDate1);
    s.customDate[0] = range(ui->CheckBox3, ui->dtpfromDate2, ui->dtptoDate2);
    s.customDate[1] = range(ui->CheckBox4, ui->dtpfromDate3, ui->dtptoDate3);
    s.customDate[2] = range(ui->CheckBox5, ui->dtpfromDate4, ui->dtptoDate4);
    return s;
}
