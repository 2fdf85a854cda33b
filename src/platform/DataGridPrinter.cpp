#include "DataGridPrinter.h"

#include "DataGrid.h"
#include "DataSet.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
#include <QTextLayout>
#include <QTextOption>

namespace {
// A4 upright holds about this many screen pixels of columns at 96 dpi.
constexpr int kUprightWidth = 720;

double wrappedHeight(const QString &text, const QFont &font, double width, QPaintDevice *device)
{
    QTextLayout layout(text, font, device);
    QTextOption o;
    o.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(o);
    layout.beginLayout();
    double h = 0;
    for (;;) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(qMax(1.0, width));
        h += line.height();
    }
    layout.endLayout();
    return h;
}
} // namespace

DataGridPrinter::DataGridPrinter(const DataGrid &grid, const Options &options) : m_grid(grid), m_options(options)
{
    const QVector<DataGridColumn> cols = grid.columns();
    for (int pos = 0; pos < cols.size(); ++pos) {
        const DataGridColumn &c = cols.at(pos);
        if (!c.visible)
            continue;
        m_columns.append({pos, c.title, qMax(8, c.width), grid.cellAlignment(pos), grid.footerAlignment(pos)});
    }
}

QFont DataGridPrinter::printFont(double pointSize)
{
    static const QString family = [] {
        const QStringList installed = QFontDatabase::families();
        for (const QString &f : {QStringLiteral("宋体"), QStringLiteral("SimSun"), QStringLiteral("NSimSun"),
                                 QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC")})
            if (installed.contains(f, Qt::CaseInsensitive))
                return f;
        return QString();
    }();
    QFont f;
    if (!family.isEmpty())
        f.setFamilies({family, QStringLiteral("WenQuanYi Micro Hei")});
    f.setPointSizeF(pointSize);
    return f;
}

bool DataGridPrinter::prefersLandscape() const
{
    int total = 0;
    for (const Column &c : m_columns)
        total += c.width;
    return total > kUprightWidth * 6 / 5;
}

void DataGridPrinter::print(QPrinter *printer)
{
    QPainter p;
    if (!printer || !p.begin(printer))
        return;
    QPaintDevice *dev = p.device();
    const double W = dev->width();
    const double H = dev->height();
    const double unit = dev->logicalDpiX() / 96.0;
    const DataSet *ds = m_grid.dataSet();
    const int rows = ds && ds->isOpen() ? ds->recordCount() : 0;
    const bool wrap = m_options.fitMode == 0;
    const bool footer = m_grid.hasFooter();

    // the columns fill the page's width; the font shrinks with them, down to
    // a size that still reads
    double natural = 0;
    for (const Column &c : std::as_const(m_columns))
        natural += c.width * unit;
    if (natural <= 0)
        natural = W;
    const double scale = W / natural;
    const double pt = m_options.pointSize;
    const QFont cellFont = printFont(pt * qBound(6.0 / pt, scale, 1.0));
    QFont boldFont = cellFont;
    boldFont.setBold(true);
    QFont titleFont = printFont(15);
    titleFont.setBold(true);
    const QFont bandFont = printFont(8);
    const QFontMetricsF fm(cellFont, dev);
    const QFontMetricsF boldFm(boldFont, dev);
    const QFontMetricsF titleFm(titleFont, dev);
    const QFontMetricsF bandFm(bandFont, dev);

    const int n = int(m_columns.size());
    QVector<double> x(n + 1, 0.0);
    for (int i = 0; i < n; ++i)
        x[i + 1] = x[i] + m_columns.at(i).width * unit * scale;
    if (n > 0)
        x[n] = W;
    const double padH = qMax(1.0, 2 * unit * qMin(1.0, scale));
    const double padV = fm.height() * 0.18;
    const double rowH = fm.height() + 2 * padV;
    const double bandH = bandFm.height() * 1.8;
    const double bodyTop = bandH;
    const double bodyH = H - 2 * bandH;
    const double titleH = m_options.title.trimmed().isEmpty() ? 0 : titleFm.height() * 3;

    double headerRowH = boldFm.height() + 2 * padV;
    for (int i = 0; i < n; ++i)
        headerRowH = qMax(headerRowH, wrappedHeight(m_columns.at(i).title, boldFont, x[i + 1] - x[i] - 2 * padH, dev) + 2 * padV);
    headerRowH = qMin(headerRowH, bodyH / 3);
    const double maxRowH = qMax(rowH, bodyH - headerRowH - titleH - rowH);

    // heights of wrapped rows, measured once
    QVector<float> heights;
    if (wrap) {
        heights.resize(rows);
        for (int r = 0; r < rows; ++r) {
            double h = rowH;
            for (int i = 0; i < n; ++i) {
                const QString t = m_grid.cellText(r, m_columns.at(i).pos);
                const double w = x[i + 1] - x[i] - 2 * padH;
                if (t.isEmpty() || (!t.contains(QLatin1Char('\n')) && fm.horizontalAdvance(t) <= w))
                    continue;
                h = qMax(h, wrappedHeight(t, cellFont, w, dev) + 2 * padV);
            }
            heights[r] = float(qMin(h, maxRowH));
        }
    }
    const auto heightOf = [&](int r) { return wrap ? double(heights.at(r)) : rowH; };

    QVector<Page> pages;
    int r = 0;
    do {
        Page pg{r, r, false};
        const double avail = bodyH - headerRowH - (pages.isEmpty() ? titleH : 0);
        double used = 0;
        while (r < rows) {
            const double h = heightOf(r);
            if (used + h > avail && r > pg.first)
                break;
            used += h;
            ++r;
        }
        pg.last = r;
        if (r >= rows && footer) {
            if (used + rowH <= avail || pg.last == pg.first) {
                pg.footerRow = true;
            } else {
                pages.append(pg);
                pg = Page{rows, rows, true};
            }
        }
        pages.append(pg);
    } while (r < rows);
    m_pageCount = int(pages.size());

    const QPen linePen(QColor(0, 0, 0), qMax(1.0, unit * 0.6));
    const auto drawText = [&](const QRectF &cell, const QString &text, Qt::Alignment align, const QFontMetricsF &metrics,
                              bool wrapIt) {
        if (text.isEmpty())
            return;
        const QRectF tr = cell.adjusted(padH, padV * 0.5, -padH, -padV * 0.5);
        if (wrapIt) {
            QTextOption o(align | Qt::AlignVCenter);
            o.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
            p.save();
            p.setClipRect(cell);
            p.drawText(tr, text, o);
            p.restore();
        } else {
            QString t = text;
            t.replace(QLatin1Char('\n'), QLatin1Char(' '));
            p.drawText(tr, int(align | Qt::AlignVCenter) | Qt::TextSingleLine, metrics.elidedText(t, Qt::ElideRight, tr.width()));
        }
    };
    const auto drawLines = [&](double top, double bottom) {
        p.setPen(linePen);
        for (int i = 0; i <= n; ++i) {
            const double xi = qMin(x[i], W - linePen.widthF() / 2);
            p.drawLine(QPointF(xi, top), QPointF(xi, bottom));
        }
    };

    for (int pi = 0; pi < pages.size(); ++pi) {
        const Page &pg = pages.at(pi);
        if (pi > 0)
            printer->newPage();
        // page header and footer
        p.setFont(bandFont);
        p.setPen(Qt::black);
        if (!m_options.headerLeft.isEmpty())
            p.drawText(QRectF(0, 0, W, bandH), Qt::AlignLeft | Qt::AlignVCenter, m_options.headerLeft);
        const QRectF foot(0, H - bandH, W, bandH);
        p.drawText(foot, Qt::AlignHCenter | Qt::AlignVCenter,
                   QStringLiteral("第 %1 页  共 %2 页").arg(pi + 1).arg(pages.size()));
        if (!m_options.footerRight.isEmpty())
            p.drawText(foot, Qt::AlignRight | Qt::AlignVCenter, m_options.footerRight);

        double y = bodyTop;
        if (pi == 0 && titleH > 0) {
            // three lines: empty, the title, empty
            p.setFont(titleFont);
            p.drawText(QRectF(0, y + titleFm.height(), W, titleFm.height()), Qt::AlignCenter, m_options.title);
            y += titleH;
        }
        const double blockTop = y;
        p.setFont(boldFont);
        p.fillRect(QRectF(0, y, W, headerRowH), QColor(224, 224, 224));
        p.setPen(Qt::black);
        for (int i = 0; i < n; ++i)
            drawText(QRectF(x[i], y, x[i + 1] - x[i], headerRowH), m_columns.at(i).title, Qt::AlignHCenter, boldFm, true);
        p.setPen(linePen);
        p.drawLine(QPointF(0, y), QPointF(W, y));
        y += headerRowH;
        p.drawLine(QPointF(0, y), QPointF(W, y));

        p.setFont(cellFont);
        for (int row = pg.first; row < pg.last; ++row) {
            const double h = heightOf(row);
            const DataGrid::RowColors colors = m_grid.rowColors(row);
            if (colors.background.isValid())
                p.fillRect(QRectF(0, y, W, h), colors.background);
            p.setPen(colors.text.isValid() ? colors.text : QColor(Qt::black));
            for (int i = 0; i < n; ++i)
                drawText(QRectF(x[i], y, x[i + 1] - x[i], h), m_grid.cellText(row, m_columns.at(i).pos),
                         m_columns.at(i).align, fm, wrap);
            y += h;
            p.setPen(linePen);
            p.drawLine(QPointF(0, y), QPointF(W, y));
        }
        if (pg.footerRow) {
            p.fillRect(QRectF(0, y, W, rowH), QColor(240, 240, 240));
            p.setFont(boldFont);
            p.setPen(Qt::black);
            for (int i = 0; i < n; ++i)
                drawText(QRectF(x[i], y, x[i + 1] - x[i], rowH), m_grid.footerText(m_columns.at(i).pos),
                         m_columns.at(i).footerAlign, boldFm, false);
            y += rowH;
            p.setPen(linePen);
            p.drawLine(QPointF(0, y), QPointF(W, y));
        }
        drawLines(blockTop, y);
    }
    p.end();
}
