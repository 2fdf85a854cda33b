#pragma once

#include <QFont>
#include <QString>
#include <QVector>

class DataGrid;
class QPainter;
class QPrinter;

// Prints what a grid shows: the visible columns in their order with their
// titles, the rows with their texts and colours, and the footer row, fitted
// to the width of the page. The title stands centred at the top of the first
// page; every page has the header text at its left top, the footer text at
// its right bottom and the page number.
class DataGridPrinter
{
public:
    struct Options
    {
        QString title;
        QString headerLeft;
        QString footerRight;
        // 0: long texts wrap and rows grow to hold them; otherwise one line
        // per row, long texts cut short with "…"
        int fitMode = 1;
        double pointSize = 9;
    };

    DataGridPrinter(const DataGrid &grid, const Options &options);

    // Paints every page onto the printer (a preview's, a PDF's, a real one).
    void print(QPrinter *printer);
    int pageCount() const { return m_pageCount; }
    // Whether the columns are too wide for an upright page.
    bool prefersLandscape() const;

    // 宋体 where it is installed, otherwise a font with Chinese glyphs.
    static QFont printFont(double pointSize);

private:
    struct Column
    {
        int pos;
        QString title;
        int width;
        Qt::Alignment align;
        Qt::Alignment footerAlign;
    };
    struct Page
    {
        int first;
        int last; // one past
        bool footerRow;
    };

    const DataGrid &m_grid;
    Options m_options;
    QVector<Column> m_columns;
    int m_pageCount = 0;
};
