#pragma once

#include <QDialog>

#include <functional>
#include <memory>

class QAction;
class QLabel;
class QPrinter;
class QPrintPreviewWidget;
class QToolBar;

// The print preview of the program: shows the pages a paint function draws,
// and from it the operator prints them or saves them as a PDF file. Grids and
// reports both preview through it.
class PrintPreview : public QDialog
{
    Q_OBJECT
public:
    // Paints every page onto the printer it is given (printer->newPage()
    // between pages).
    using PaintFunction = std::function<void(QPrinter *printer)>;

    explicit PrintPreview(PaintFunction paint, QWidget *parent = nullptr);
    ~PrintPreview() override;

    // The document's name: the window's caption and the PDF's file name.
    void setDocumentName(const QString &name);
    QString documentName() const { return m_name; }
    void setLandscape(bool landscape);
    bool isLandscape() const;

    QPrinter *printer() const { return m_printer.get(); }
    QPrintPreviewWidget *previewWidget() const { return m_preview; }
    int pageCount() const;
    int currentPage() const;

    // Writes the pages into a PDF file; false with the reason when it cannot.
    bool writePdf(const QString &path, QString *error = nullptr);

public slots:
    void printPages();
    void exportPdf();
    void zoomIn();
    void zoomOut();
    void fitWidth();
    void firstPage();
    void previousPage();
    void nextPage();
    void lastPage();

private:
    QAction *makeAction(const QString &name, const QString &text, const QKeySequence &key, void (PrintPreview::*slot)());
    void updatePageLabel();

    PaintFunction m_paint;
    std::unique_ptr<QPrinter> m_printer;
    QPrintPreviewWidget *m_preview = nullptr;
    QLabel *m_pageLabel = nullptr;
    QToolBar *m_toolBar = nullptr;
    QString m_name;
};
