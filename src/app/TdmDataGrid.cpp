// The data module's grid services: stored layouts in cfg_Grid, column formats
// and captions, goods-line columns, printing, export to a workbook, and the
// column, sort and value dialogs.

#include "TdmData.h"

#include "AppState.h"
#include "GridLayoutStore.h"
#include "SortOrderList.h"
#include "TDLGeditCurList.h"
#include "TDLGenterCaption.h"
#include "TFrmDispFieldXZ.h"
#include "TfrmRowArrangeGl.h"
#include "platform/DataGrid.h"
#include "platform/DataGridPrinter.h"
#include "platform/DataGridWorkbook.h"
#include "platform/Messages.h"
#include "platform/Modal.h"
#include "platform/PrintPreview.h"
#include "platform/Shell.h"

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QStandardPaths>

namespace {
// A title as part of a file name on any system.
QString fileNamePart(const QString &title)
{
    QString n = title.trimmed();
    for (QChar &c : n)
        if (QStringLiteral("\\/:*?\"<>|").contains(c) || c.unicode() < 0x20)
            c = QLatin1Char('_');
    return n.isEmpty() ? QStringLiteral("导出数据") : n.left(80);
}
} // namespace

// ------------------------------------------------------------------ layouts

void TdmData::LoadGridLayout(DataGrid *grid, const QString &name)
{
    if (!grid || name.trimmed().isEmpty())
        return;
    const GridLayoutRead layout = GridLayoutStore(connectionName()).load(name);
    if (!layout.ok) {
        qWarning("LoadGridLayout failed: %s", qPrintable(layout.error));
        if (!m_layoutReadFailed)
            ShowMess(Msg::OperationFailed(), MessError);
        m_layoutReadFailed = true;
        return;
    }
    m_layoutReadFailed = false;
    // a name without rows keeps the columns the window designed
    if (!layout.columns.isEmpty())
        grid->setColumns(layout.columns);
}

void TdmData::SaveGridLayout(DataGrid *grid, const QString &name)
{
    if (!grid || name.trimmed().isEmpty())
        return;
    // the alignment stored is the one the operator sees
    QVector<DataGridColumn> columns = grid->columns();
    for (int i = 0; i < columns.size(); ++i)
        columns[i].alignment = grid->effectiveAlignment(i);
    const GridLayoutWrite result = GridLayoutStore(connectionName()).save(name, columns);
    // a failing column does not stop the others; the operator hears of it once
    if (!result.ok()) {
        qWarning("SaveGridLayout failed for %d column(s), first %s: %s", result.failed, qPrintable(result.firstField),
                 qPrintable(result.error));
        ShowMess(Msg::OperationFailed(), MessError);
    }
}

// --------------------------------------------------------- formats, columns

void TdmData::ApplyColumnFormats(DataGrid *grid)
{
    if (!grid)
        return;
    const AppState &st = appState();
    const auto setFormat = [](DataGridColumn &c, const QString &format) {
        if (format.isEmpty())
            return; // before a login there are no formats to apply
        c.displayFormat = format;
        c.footerFormat = format;
    };
    const auto setTitle = [](DataGridColumn &c, const QString &title) {
        if (!title.trimmed().isEmpty())
            c.title = title;
    };
    for (int i = 0; i < grid->columnCount(); ++i) {
        DataGridColumn c = grid->column(i);
        const QString f = c.fieldName.toLower();
        // each test on its own, in this order: a later match wins
        if (f.contains(QLatin1String("price")))
            setFormat(c, st.MoneyFormat);
        if (f.contains(QLatin1String("_spprice")))
            setFormat(c, st.UnitPriceFormat);
        if (f.contains(QLatin1String("amount")))
            setFormat(c, st.QtyFormat);
        for (int k = 1; k <= 5; ++k)
            if (f.contains(QStringLiteral("zf%1").arg(k)))
                setTitle(c, st.custom(k));
        for (int k = 1; k <= 3; ++k)
            if (f.contains(QStringLiteral("sz%1").arg(k)))
                setTitle(c, st.custom(5 + k));
        for (int k = 1; k <= 3; ++k)
            if (f.contains(QStringLiteral("rq%1").arg(k)))
                setTitle(c, st.custom(8 + k));
        if (!(c == grid->column(i)))
            grid->setColumn(i, c);
    }
}

void TdmData::PrepareGoodsColumns(DataGrid *grid)
{
    if (!grid)
        return;
    grid->setReadOnly(false);
    static const QStringList fixed = {QStringLiteral("F_GDname"), QStringLiteral("F_type"), QStringLiteral("F_spec"),
                                      QStringLiteral("F_unit")};
    for (int i = 0; i < grid->columnCount(); ++i) {
        DataGridColumn c = grid->column(i);
        c.readOnly = fixed.contains(c.fieldName, Qt::CaseInsensitive);
        if (c.fieldName.compare(QLatin1String("F_GDname"), Qt::CaseInsensitive) == 0)
            c.alwaysShowEditButton = true;
        if (!(c == grid->column(i)))
            grid->setColumn(i, c);
    }
}

// ------------------------------------------------------------ print, export

void TdmData::PrintGrid(DataGrid *grid, const QString &title, int fitMode, const QString &footer, const QString &header)
{
    if (!grid)
        return;
    DataGridPrinter::Options options;
    options.title = title;
    options.fitMode = fitMode;
    if (!header.trimmed().isEmpty())
        options.headerLeft = header;
    if (!footer.trimmed().isEmpty()) {
        QString text = footer;
        text.replace(QLatin1String("date"),
                     QStringLiteral("打印日期：") + QDate::currentDate().toString(QStringLiteral("yyyy年MM月dd日")));
        options.footerRight = text;
    }
    DataGridPrinter printer(*grid, options);
    PrintPreview preview([&printer](QPrinter *device) { printer.print(device); }, Messages::mainWindow());
    preview.setDocumentName(title);
    preview.setLandscape(printer.prefersLandscape());
    execModal(&preview);
}

QString TdmData::ExportGridToExcel(DataGrid *grid, const QString &title)
{
    if (!grid)
        return QString();
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty())
        folder = QDir::homePath();
    if (!QDir().mkpath(folder)) {
        ShowMess(QStringLiteral("无法建立文件夹“%1”，数据没有导出！").arg(QDir::toNativeSeparators(folder)), MessError);
        return QString();
    }
    const QString base = fileNamePart(title) + QLatin1Char('_')
                         + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd_hhmmss"));
    QString path = QDir(folder).filePath(base + QStringLiteral(".xlsx"));
    for (int i = 2; QFileInfo::exists(path); ++i)
        path = QDir(folder).filePath(QStringLiteral("%1_%2.xlsx").arg(base).arg(i));

    QString error;
    const bool ok = DataGridWorkbook::write(*grid, path, title, &error);
    if (DataSet *ds = grid->dataSet())
        ds->first();
    if (!ok) {
        ShowMess(QStringLiteral("导出到 Excel 文件“%1”失败：%2").arg(QDir::toNativeSeparators(path), error), MessError);
        return QString();
    }
    if (!Shell::openFile(path))
        ShowMess(QStringLiteral("没有找到打开 Excel 文件的程序。数据已导出到文件：\n%1").arg(QDir::toNativeSeparators(path)),
                 MessInfo);
    return path;
}

// ------------------------------------------------------------------ dialogs

void TdmData::ChooseGridColumns(DataGrid *grid)
{
    if (!grid)
        return;
    TFrmDispFieldXZ dialog(Messages::mainWindow());
    QStringList titles;
    QVector<bool> visible;
    for (const DataGridColumn &c : grid->columns()) {
        titles.append(c.title);
        visible.append(c.visible);
    }
    dialog.setColumns(titles, visible);
    if (execModal(&dialog) != QDialog::Accepted)
        return;
    const QVector<bool> chosen = dialog.visibleFlags();
    for (int i = 0; i < chosen.size() && i < grid->columnCount(); ++i)
        if (grid->column(i).visible != chosen.at(i))
            grid->setColumnVisible(i, chosen.at(i));
}

QString TdmData::ShowSortDialog(DataGrid *grid)
{
    if (!grid)
        return QString();
    TfrmRowArrangeGl dialog(SortOrderList::fromGrid(*grid), Messages::mainWindow());
    if (execModal(&dialog) != QDialog::Accepted)
        return QString();
    return dialog.sortText();
}

bool TdmData::AskValue(const QString &caption, AskValueMode mode, QString &value, const TreePicker &picker)
{
    TDLGenterCaption dialog(caption, mode, picker, Messages::mainWindow());
    dialog.setValue(value);
    if (execModal(&dialog) != QDialog::Accepted)
        return false;
    value = dialog.value();
    return true;
}

bool TdmData::AskColumnValue(QString &value)
{
    TDLGeditCurList dialog(Messages::mainWindow());
    if (execModal(&dialog) != QDialog::Accepted)
        return false;
    value = dialog.edtCurValue->text();
    return true;
}
