#include "PrintPreview.h"

#include "Messages.h"
#include "Modal.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QScreen>
#include <QStandardPaths>
#include <QToolBar>
#include <QVBoxLayout>

namespace {
QString safeFileName(const QString &name)
{
    QString n = name.trimmed();
    for (QChar &c : n)
        if (QStringLiteral("\\/:*?\"<>|").contains(c) || c.unicode() < 0x20)
            c = QLatin1Char('_');
    return n.isEmpty() ? QStringLiteral("打印") : n;
}
} // namespace

PrintPreview::PrintPreview(PaintFunction paint, QWidget *parent)
    : QDialog(parent), m_paint(std::move(paint)), m_printer(std::make_unique<QPrinter>(QPrinter::HighResolution))
{
    setObjectName(QStringLiteral("PrintPreview"));
    setWindowTitle(QStringLiteral("打印预览"));
    setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);
    m_printer->setPageSize(QPageSize(QPageSize::A4));
    m_printer->setPageMargins(QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_toolBar = new QToolBar(this);
    m_toolBar->setObjectName(QStringLiteral("tbPreview"));
    m_toolBar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    layout->addWidget(m_toolBar);
    m_preview = new QPrintPreviewWidget(m_printer.get(), this);
    m_preview->setObjectName(QStringLiteral("PreviewWidget"));
    layout->addWidget(m_preview, 1);

    makeAction(QStringLiteral("actPrint"), QStringLiteral("打印"), QKeySequence::Print, &PrintPreview::printPages);
    makeAction(QStringLiteral("actExportPdf"), QStringLiteral("导出PDF"), QKeySequence(), &PrintPreview::exportPdf);
    m_toolBar->addSeparator();
    makeAction(QStringLiteral("actZoomIn"), QStringLiteral("放大"), QKeySequence::ZoomIn, &PrintPreview::zoomIn);
    makeAction(QStringLiteral("actZoomOut"), QStringLiteral("缩小"), QKeySequence::ZoomOut, &PrintPreview::zoomOut);
    makeAction(QStringLiteral("actFitWidth"), QStringLiteral("适合宽度"), QKeySequence(), &PrintPreview::fitWidth);
    m_toolBar->addSeparator();
    makeAction(QStringLiteral("actFirstPage"), QStringLiteral("首页"), QKeySequence(Qt::CTRL | Qt::Key_Home), &PrintPreview::firstPage);
    makeAction(QStringLiteral("actPriorPage"), QStringLiteral("上页"), QKeySequence(Qt::Key_PageUp), &PrintPreview::previousPage);
    makeAction(QStringLiteral("actNextPage"), QStringLiteral("下页"), QKeySequence(Qt::Key_PageDown), &PrintPreview::nextPage);
    makeAction(QStringLiteral("actLastPage"), QStringLiteral("末页"), QKeySequence(Qt::CTRL | Qt::Key_End), &PrintPreview::lastPage);
    m_pageLabel = new QLabel(this);
    m_pageLabel->setObjectName(QStringLiteral("lblPage"));
    m_pageLabel->setContentsMargins(8, 0, 8, 0);
    m_toolBar->addWidget(m_pageLabel);
    m_toolBar->addSeparator();
    QAction *portrait = m_toolBar->addAction(QStringLiteral("纵向"), this, [this] { setLandscape(false); });
    portrait->setObjectName(QStringLiteral("actPortrait"));
    QAction *landscape = m_toolBar->addAction(QStringLiteral("横向"), this, [this] { setLandscape(true); });
    landscape->setObjectName(QStringLiteral("actLandscape"));
    m_toolBar->addSeparator();
    QAction *close = m_toolBar->addAction(QStringLiteral("关闭"), this, &QDialog::reject);
    close->setObjectName(QStringLiteral("actClose"));

    connect(m_preview, &QPrintPreviewWidget::paintRequested, this, [this](QPrinter *printer) {
        if (m_paint)
            m_paint(printer);
    });
    connect(m_preview, &QPrintPreviewWidget::previewChanged, this, &PrintPreview::updatePageLabel);

    QSize size(1000, 760);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        size = size.boundedTo(screen->availableSize() * 0.9);
    resize(size);
}

PrintPreview::~PrintPreview() = default;

QAction *PrintPreview::makeAction(const QString &name, const QString &text, const QKeySequence &key,
                                  void (PrintPreview::*slot)())
{
    QAction *a = m_toolBar->addAction(text, this, slot);
    a->setObjectName(name);
    if (!key.isEmpty())
        a->setShortcut(key);
    return a;
}

void PrintPreview::setDocumentName(const QString &name)
{
    m_name = name;
    setWindowTitle(name.trimmed().isEmpty() ? QStringLiteral("打印预览") : QStringLiteral("打印预览 - ") + name.trimmed());
    m_printer->setDocName(name);
}

void PrintPreview::setLandscape(bool landscape)
{
    if (landscape)
        m_preview->setLandscapeOrientation();
    else
        m_preview->setPortraitOrientation();
}

bool PrintPreview::isLandscape() const { return m_printer->pageLayout().orientation() == QPageLayout::Landscape; }

int PrintPreview::pageCount() const { return m_preview->pageCount(); }
int PrintPreview::currentPage() const { return m_preview->currentPage(); }

void PrintPreview::updatePageLabel()
{
    m_pageLabel->setText(QStringLiteral("第 %1 页 / 共 %2 页").arg(m_preview->currentPage()).arg(m_preview->pageCount()));
}

void PrintPreview::zoomIn() { m_preview->zoomIn(1.25); }
void PrintPreview::zoomOut() { m_preview->zoomOut(1.25); }
void PrintPreview::fitWidth() { m_preview->fitToWidth(); }

void PrintPreview::firstPage()
{
    m_preview->setCurrentPage(1);
    updatePageLabel();
}

void PrintPreview::previousPage()
{
    m_preview->setCurrentPage(qMax(1, m_preview->currentPage() - 1));
    updatePageLabel();
}

void PrintPreview::nextPage()
{
    m_preview->setCurrentPage(qMin(m_preview->pageCount(), m_preview->currentPage() + 1));
    updatePageLabel();
}

void PrintPreview::lastPage()
{
    m_preview->setCurrentPage(m_preview->pageCount());
    updatePageLabel();
}

void PrintPreview::printPages()
{
    QPrintDialog dialog(m_printer.get(), this);
    dialog.setWindowTitle(QStringLiteral("打印"));
    if (execModal(&dialog) == QDialog::Accepted)
        m_preview->print();
}

bool PrintPreview::writePdf(const QString &path, QString *error)
{
    const auto fail = [error](const QString &reason) {
        if (error)
            *error = reason;
        return false;
    };
    {
        // says why a file cannot be written before anything is painted
        QFile probe(path);
        if (!probe.open(QIODevice::WriteOnly))
            return fail(probe.error() == QFileDevice::PermissionsError ? QStringLiteral("没有写入“%1”的权限").arg(path)
                                                                       : probe.errorString());
    }
    QPrinter pdf(QPrinter::HighResolution);
    pdf.setOutputFormat(QPrinter::PdfFormat);
    pdf.setOutputFileName(path);
    pdf.setPageLayout(m_printer->pageLayout());
    pdf.setDocName(m_name);
    pdf.setCreator(QCoreApplication::applicationName());
    if (m_paint)
        m_paint(&pdf);
    if (QFileInfo(path).size() == 0)
        return fail(QStringLiteral("文件“%1”没有写成").arg(path));
    return true;
}

void PrintPreview::exportPdf()
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (dir.isEmpty())
        dir = QDir::homePath();
    const QString suggested = QDir(dir).filePath(safeFileName(m_name) + QStringLiteral(".pdf"));
    QString path = Modal::getSaveFileName(this, QStringLiteral("导出PDF"), suggested, QStringLiteral("PDF 文件 (*.pdf)"));
    if (path.isEmpty())
        return;
    if (!path.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
        path += QStringLiteral(".pdf");
    QString error;
    if (!writePdf(path, &error))
        ShowMess(QStringLiteral("导出PDF文件失败：%1").arg(error), MessError);
}
