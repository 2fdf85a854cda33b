#include "platform/DataGrid.h"
#include "platform/DataGridPrinter.h"
#include "platform/DataSet.h"
#include "platform/Database.h"
#include "platform/PrintPreview.h"
#include "support/ReadBack.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

using TestSupport::Script;
using TestSupport::TestDb;

namespace {
void trigger(QWidget *root, const QString &name)
{
    auto *a = root->findChild<QAction *>(name);
    QVERIFY2(a, qPrintable(name));
    a->trigger();
}

// Three pages, each saying which it is.
void threePages(QPrinter *printer)
{
    QPainter p(printer);
    p.setFont(DataGridPrinter::printFont(14));
    for (int i = 1; i <= 3; ++i) {
        if (i > 1)
            printer->newPage();
        p.drawText(QRect(0, 0, p.device()->width(), p.device()->height() / 4), Qt::AlignCenter,
                   QStringLiteral("第%1页内容").arg(i));
    }
}
} // namespace

class TestPrintPreview : public QObject
{
    Q_OBJECT

private slots:
    void toolbarPagesAndPdf()
    {
        QTemporaryDir dir;
        Script s;
        PrintPreview preview(threePages);
        preview.setDocumentName(QStringLiteral("测试文档"));
        QCOMPARE(preview.windowTitle(), QStringLiteral("打印预览 - 测试文档"));
        QStringList texts;
        for (QAction *a : preview.findChild<QToolBar *>("tbPreview")->actions())
            if (!a->isSeparator() && !a->text().isEmpty())
                texts.append(a->text());
        QCOMPARE(texts, (QStringList{QStringLiteral("打印"), QStringLiteral("导出PDF"), QStringLiteral("放大"),
                                     QStringLiteral("缩小"), QStringLiteral("适合宽度"), QStringLiteral("首页"),
                                     QStringLiteral("上页"), QStringLiteral("下页"), QStringLiteral("末页"),
                                     QStringLiteral("纵向"), QStringLiteral("横向"), QStringLiteral("关闭")}));
        preview.show();
        QVERIFY(QTest::qWaitForWindowExposed(&preview));
        QTRY_COMPARE(preview.pageCount(), 3);
        trigger(&preview, "actNextPage");
        QCOMPARE(preview.currentPage(), 2);
        trigger(&preview, "actLastPage");
        QCOMPARE(preview.currentPage(), 3);
        trigger(&preview, "actNextPage");
        QCOMPARE(preview.currentPage(), 3);
        trigger(&preview, "actPriorPage");
        QCOMPARE(preview.currentPage(), 2);
        trigger(&preview, "actFirstPage");
        QCOMPARE(preview.currentPage(), 1);
        const qreal zoom = preview.previewWidget()->zoomFactor();
        trigger(&preview, "actZoomIn");
        QVERIFY(preview.previewWidget()->zoomFactor() > zoom);
        trigger(&preview, "actZoomOut");
        trigger(&preview, "actFitWidth");
        QCOMPARE(preview.previewWidget()->zoomMode(), QPrintPreviewWidget::FitToWidth);
        trigger(&preview, "actLandscape");
        QVERIFY(preview.isLandscape());
        trigger(&preview, "actPortrait");
        QVERIFY(!preview.isLandscape());

        // saved as a PDF, ".pdf" added when the name lacks it
        s.onFile(dir.filePath("pages"));
        trigger(&preview, "actExportPdf");
        const QString pdf = dir.filePath("pages.pdf");
        QVERIFY(QFile::exists(pdf));
        const QString text = ReadBack::pdfText(pdf);
        QVERIFY2(text.contains(QStringLiteral("第1页内容")) && text.contains(QStringLiteral("第3页内容")), qPrintable(text));
        QCOMPARE(ReadBack::pdfPages(pdf), 3);
        // cancelled: nothing happens
        s.onFile(QString());
        trigger(&preview, "actExportPdf");
        // a file that cannot be written says why
        s.onFile("/nonexistent-folder/x.pdf");
        trigger(&preview, "actExportPdf");
        const auto m = s.takeMessages();
        QCOMPARE(m.size(), 1);
        QCOMPARE(m.at(0).kind, 3);
        QVERIFY2(m.at(0).text.startsWith(QStringLiteral("导出PDF文件失败：")), qPrintable(m.at(0).text));
        QVERIFY(TestSupport::screenshot(&preview, "printpreview-pages"));
        trigger(&preview, "actClose");
        QVERIFY(!preview.isVisible());
    }

    void gridOnPaper()
    {
        TestDb t;
        {
            Transaction tr(t.db());
            for (int i = 1; i <= 70; ++i)
                t.insert("t_client", {{"F_cltID", i},
                                      {"F_code", QString("K%1").arg(i, 3, 10, QChar('0'))},
                                      {"F_name", QStringLiteral("客户名称%1").arg(i)},
                                      {"F_SZ1", i},
                                      {"F_QQ", QStringLiteral("隐藏%1").arg(i)},
                                      {"F_mem", i == 2 ? QStringLiteral("很长的备注开始 ") + QString(60, QChar(u'字')) + QStringLiteral(" 备注结尾")
                                                       : QString()}});
            tr.commit();
        }
        DataSet ds;
        ds.setSql("select * from t_client order by F_ID");
        QVERIFY(ds.open());
        DataGrid g;
        g.setDataSet(&ds);
        DataGridColumn code("F_code", QStringLiteral("客户编号"), 80);
        code.footerType = DataGridColumn::FooterType::Text;
        code.footerValue = QStringLiteral("合计");
        DataGridColumn sum("F_SZ1", QStringLiteral("数值一"), 80);
        sum.displayFormat = "0.00";
        sum.footerType = DataGridColumn::FooterType::Sum;
        DataGridColumn hidden("F_QQ", "QQ", 80);
        hidden.visible = false;
        g.setColumns({code, DataGridColumn("F_name", QStringLiteral("客户名称"), 120), hidden, sum,
                      DataGridColumn("F_mem", QStringLiteral("备注信息"), 200)});

        QTemporaryDir dir;
        const auto printTo = [&](int fitMode) {
            DataGridPrinter::Options o;
            o.title = QStringLiteral("客户档案资料");
            o.headerLeft = QStringLiteral("页眉左侧");
            o.footerRight = QStringLiteral("打印日期：2026年01月02日");
            o.fitMode = fitMode;
            DataGridPrinter printer(g, o);
            PrintPreview preview([&](QPrinter *p) { printer.print(p); });
            const QString pdf = dir.filePath(QString("grid%1.pdf").arg(fitMode));
            QString error;
            if (!preview.writePdf(pdf, &error))
                qWarning("%s", qPrintable(error));
            return pdf;
        };
        const QString pdf = printTo(1);
        const QString text = ReadBack::pdfText(pdf);
        const QStringList pages = text.split(QChar('\f'), Qt::SkipEmptyParts);
        QVERIFY2(pages.size() >= 2, qPrintable(text));
        QCOMPARE(text.count(QStringLiteral("客户档案资料")), 1);
        QVERIFY(pages.first().contains(QStringLiteral("客户档案资料")));
        for (int i = 0; i < pages.size(); ++i) {
            QVERIFY(pages.at(i).contains(QStringLiteral("客户编号")));
            QVERIFY(pages.at(i).contains(QStringLiteral("页眉左侧")));
            QVERIFY(pages.at(i).contains(QStringLiteral("打印日期：2026年01月02日")));
            const QRegularExpression number(QStringLiteral("第\\s*%1\\s*页\\s*共\\s*%2\\s*页").arg(i + 1).arg(pages.size()));
            QVERIFY2(pages.at(i).contains(number), qPrintable(pages.at(i).right(400)));
        }
        QVERIFY(text.contains(QStringLiteral("客户名称1 ")) || text.contains(QStringLiteral("客户名称1\n")));
        QVERIFY(text.contains(QStringLiteral("客户名称70")));
        QVERIFY(text.contains("K070"));
        QVERIFY(text.contains("35.00"));
        // the footer row, once, on the last page
        QVERIFY(pages.last().contains(QStringLiteral("合计")));
        QVERIFY(pages.last().contains("2485.00"));
        QCOMPARE(text.count(QStringLiteral("合计")), 1);
        // hidden columns stay off the paper; one line per row cuts long texts
        QVERIFY(!text.contains(QStringLiteral("隐藏")));
        QVERIFY(text.contains(QStringLiteral("很长的备注开始")));
        QVERIFY(!text.contains(QStringLiteral("备注结尾")));

        // fit mode 0: long texts wrap and their rows grow
        const QString wrapped = ReadBack::pdfText(printTo(0));
        QString compact = wrapped;
        compact.remove(QRegularExpression("\\s"));
        QVERIFY2(compact.contains(QStringLiteral("字备注结尾")), qPrintable(wrapped.left(1500)));
        QVERIFY(wrapped.contains(QStringLiteral("客户名称70")));

        if (!TestSupport::screenshotDir().isEmpty()) {
            DataGridPrinter::Options o;
            o.title = QStringLiteral("客户档案资料");
            o.headerLeft = QStringLiteral("某某科技有限公司");
            o.footerRight = QStringLiteral("打印日期：2026年01月02日");
            DataGridPrinter printer(g, o);
            PrintPreview preview([&](QPrinter *p) { printer.print(p); });
            preview.setDocumentName(o.title);
            preview.writePdf(QDir(TestSupport::screenshotDir()).filePath("printpreview-grid.pdf"));
            preview.resize(1000, 760);
            preview.show();
            QVERIFY(QTest::qWaitForWindowExposed(&preview));
            QTRY_VERIFY(preview.pageCount() > 0);
            trigger(&preview, "actFitWidth");
            QApplication::processEvents();
            QVERIFY(TestSupport::screenshot(&preview, "printpreview-grid"));
        }
    }

    void emptyGridPrintsItsTitles()
    {
        TestDb t;
        DataSet ds;
        ds.setSql("select * from t_client order by F_ID");
        QVERIFY(ds.open());
        DataGrid g;
        g.setDataSet(&ds);
        g.setColumns({DataGridColumn("F_code", QStringLiteral("客户编号"))});
        DataGridPrinter printer(g, {});
        QTemporaryDir dir;
        PrintPreview preview([&](QPrinter *p) { printer.print(p); });
        QVERIFY(preview.writePdf(dir.filePath("e.pdf")));
        QCOMPARE(printer.pageCount(), 1);
        QVERIFY(ReadBack::pdfText(dir.filePath("e.pdf")).contains(QStringLiteral("客户编号")));
    }
};

QTEST_MAIN(TestPrintPreview)
#include "tst_printpreview.moc"
