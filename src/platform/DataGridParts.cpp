#include "DataGridParts.h"

#include "DataGrid.h"
#include "DataGridModel.h"
#include "DataSet.h"
#include "Format.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QRegularExpressionValidator>
#include <QStyle>
#include <QStyleOptionButton>

namespace {
const char *kOriginal = "kelmorOriginalText";

QStyle *styleOf(const QWidget *w) { return w ? w->style() : QApplication::style(); }
} // namespace

// ------------------------------------------------------------------ delegate

DataGridDelegate::DataGridDelegate(DataGrid *grid) : QStyledItemDelegate(grid), m_grid(grid) {}

QRect DataGridDelegate::checkRect(const QRect &cell, const QWidget *widget)
{
    QStyleOptionButton opt;
    const QRect r = styleOf(widget)->subElementRect(QStyle::SE_CheckBoxIndicator, &opt, widget);
    return QRect(cell.center().x() - r.width() / 2, cell.center().y() - r.height() / 2, r.width(), r.height());
}

QRect DataGridDelegate::buttonRect(const QRect &cell)
{
    const int w = qMin(18, cell.width());
    return QRect(cell.right() - w + 1, cell.top() + 1, w, qMax(0, cell.height() - 2));
}

void DataGridDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const int col = index.column();
    const QWidget *w = option.widget;
    if (m_grid->isBooleanColumn(col)) {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        opt.features &= ~QStyleOptionViewItem::HasCheckIndicator;
        opt.text.clear();
        styleOf(w)->drawControl(QStyle::CE_ItemViewItem, &opt, painter, w);
        QStyleOptionButton box;
        box.rect = checkRect(option.rect, w);
        box.state = QStyle::State_Enabled
                    | (index.data(Qt::CheckStateRole).toInt() == Qt::Checked ? QStyle::State_On : QStyle::State_Off);
        styleOf(w)->drawPrimitive(QStyle::PE_IndicatorCheckBox, &box, painter, w);
    } else {
        QStyledItemDelegate::paint(painter, option, index);
    }
    if (col < m_grid->columnCount() && m_grid->column(col).alwaysShowEditButton) {
        QStyleOptionButton b;
        b.rect = buttonRect(option.rect);
        b.text = QStringLiteral("…");
        b.state = QStyle::State_Enabled | QStyle::State_Raised;
        painter->save();
        styleOf(w)->drawControl(QStyle::CE_PushButton, &b, painter, w);
        painter->restore();
    }
}

QWidget *DataGridDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &index) const
{
    if (m_grid->isBooleanColumn(index.column()))
        return nullptr;
    auto *e = new QLineEdit(parent);
    e->setFrame(false);
    e->setObjectName(QStringLiteral("DataGridEditor"));
    if (const int len = m_grid->column(index.column()).maxLength; len > 0)
        e->setMaxLength(len);
    if (m_grid->isNumericColumn(index.column())) {
        static const QRegularExpression number(QStringLiteral(R"(^[-+]?\d*([.]\d*)?$)"));
        e->setValidator(new QRegularExpressionValidator(number, e));
    }
    m_editor = e;
    return e;
}

void DataGridDelegate::updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QRect r = option.rect;
    // the ellipsis button stays clickable beside the editor
    if (index.column() < m_grid->columnCount() && m_grid->column(index.column()).alwaysShowEditButton)
        r.setRight(buttonRect(option.rect).left() - 1);
    editor->setGeometry(r);
}

void DataGridDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    auto *e = qobject_cast<QLineEdit *>(editor);
    if (!e)
        return;
    // the stored value, not its formatted text; blank where the grid shows blank
    QString text = Format::plainText(index.data(Qt::EditRole));
    if (m_grid->cellText(index.row(), index.column()).isEmpty())
        text.clear();
    e->setText(text);
    e->setProperty(kOriginal, text);
    e->selectAll();
}

void DataGridDelegate::setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const
{
    auto *e = qobject_cast<QLineEdit *>(editor);
    if (!e || e->text() == e->property(kOriginal).toString())
        return;
    if (m_grid->isNumericColumn(index.column())) {
        const QString t = e->text().trimmed();
        if (t.isEmpty() || t == QLatin1String("-") || t == QLatin1String("+") || t == QLatin1String(".")) {
            model->setData(index, QVariant(), Qt::EditRole);
            return;
        }
        bool ok = false;
        const double d = t.toDouble(&ok);
        if (ok)
            model->setData(index, d, Qt::EditRole);
        return;
    }
    model->setData(index, e->text(), Qt::EditRole);
}

bool DataGridDelegate::editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                                   const QModelIndex &index)
{
    if (!(index.flags() & Qt::ItemIsUserCheckable))
        return false;
    bool toggle = false;
    switch (event->type()) {
    case QEvent::MouseButtonRelease: {
        const auto *me = static_cast<QMouseEvent *>(event);
        toggle = me->button() == Qt::LeftButton
                 && checkRect(option.rect, option.widget).adjusted(-2, -2, 2, 2).contains(me->position().toPoint());
        break;
    }
    case QEvent::MouseButtonDblClick:
        return true;
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent *>(event)->key();
        toggle = key == Qt::Key_Space || key == Qt::Key_Select;
        break;
    }
    default:
        break;
    }
    if (!toggle)
        return false;
    const bool checked = index.data(Qt::CheckStateRole).toInt() == Qt::Checked;
    return model->setData(index, checked ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
}

bool DataGridDelegate::eventFilter(QObject *object, QEvent *event)
{
    auto *editor = qobject_cast<QWidget *>(object);
    if (editor && event->type() == QEvent::KeyPress) {
        const auto *ke = static_cast<QKeyEvent *>(event);
        if (m_grid->editorKey(editor, ke->key(), ke->modifiers()))
            return true;
    }
    return QStyledItemDelegate::eventFilter(object, event);
}

// -------------------------------------------------------------------- header

DataGridHeader::DataGridHeader(DataGrid *grid) : QHeaderView(Qt::Horizontal, grid), m_grid(grid)
{
    setDefaultAlignment(Qt::AlignCenter);
    setSectionsClickable(true);
    setSectionsMovable(true);
    setFirstSectionMovable(true);
    setHighlightSections(false);
    setSortIndicatorShown(false);
}

void DataGridHeader::paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const
{
    painter->save();
    QHeaderView::paintSection(painter, rect, logicalIndex);
    painter->restore();
    if (logicalIndex < 0 || logicalIndex >= m_grid->columnCount())
        return;
    const auto marker = m_grid->column(logicalIndex).sortMarker;
    if (marker == DataGridColumn::SortMarker::None)
        return;
    // a small triangle at the right: up for ascending, down for descending
    const int s = qMax(4, rect.height() / 5);
    const int cx = rect.right() - s - 3;
    const int cy = rect.center().y();
    QPolygon tri;
    if (marker == DataGridColumn::SortMarker::Ascending)
        tri << QPoint(cx - s, cy + s / 2) << QPoint(cx + s, cy + s / 2) << QPoint(cx, cy - s / 2 - 1);
    else
        tri << QPoint(cx - s, cy - s / 2) << QPoint(cx + s, cy - s / 2) << QPoint(cx, cy + s / 2 + 1);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(Qt::NoPen);
    painter->setBrush(palette().color(QPalette::ButtonText));
    painter->drawPolygon(tri);
    painter->restore();
}

// -------------------------------------------------------------------- footer

DataGridFooter::DataGridFooter(DataGrid *grid) : QWidget(grid), m_grid(grid)
{
    setObjectName(QStringLiteral("DataGridFooter"));
    setAutoFillBackground(false);
}

void DataGridFooter::invalidate()
{
    m_dirty = true;
    update();
}

void DataGridFooter::compute() const
{
    if (!m_dirty)
        return;
    m_dirty = false;
    m_texts.clear();
    const DataSet *ds = m_grid->dataSet();
    for (int i = 0; i < m_grid->columnCount(); ++i) {
        const DataGridColumn c = m_grid->column(i);
        QString t;
        switch (c.footerType) {
        case DataGridColumn::FooterType::Text:
            t = c.footerValue;
            break;
        case DataGridColumn::FooterType::Sum:
            if (ds && ds->isOpen() && m_grid->fieldIndexOf(i) >= 0)
                t = Format::formatValue(ds->columnSum(c.fieldName),
                                        c.footerFormat.trimmed().isEmpty() ? c.displayFormat : c.footerFormat);
            break;
        case DataGridColumn::FooterType::None:
            break;
        }
        m_texts.append(t);
    }
}

QString DataGridFooter::text(int column) const
{
    compute();
    return m_texts.value(column);
}

QSize DataGridFooter::sizeHint() const { return QSize(100, fontMetrics().height() + 8); }

void DataGridFooter::paintEvent(QPaintEvent *)
{
    compute();
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Button));
    const QHeaderView *h = m_grid->horizontalHeader();
    const QColor line = palette().color(QPalette::Mid);
    p.setPen(line);
    p.drawLine(0, 0, width(), 0);
    for (int v = 0; v < h->count(); ++v) {
        const int l = h->logicalIndex(v);
        if (h->isSectionHidden(l))
            continue;
        const QRect r(h->sectionViewportPosition(l), 0, h->sectionSize(l), height());
        if (r.right() < 0 || r.left() > width())
            continue;
        p.setPen(line);
        p.drawLine(r.right(), 0, r.right(), height());
        const QString t = m_texts.value(l);
        if (t.isEmpty())
            continue;
        const QRect tr = r.adjusted(4, 1, -4, 0);
        p.setPen(palette().color(QPalette::ButtonText));
        p.drawText(tr, int(m_grid->footerAlignment(l)), fontMetrics().elidedText(t, Qt::ElideRight, tr.width()));
    }
}
