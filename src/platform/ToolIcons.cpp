#include "ToolIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {
QPixmap canvas()
{
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    return pm;
}

QIcon printerIcon()
{
    QPixmap pm = canvas();
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x44, 0x44, 0x44), 1.5));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(9, 3, 14, 10));
    p.setBrush(QColor(0x9A, 0xA4, 0xB0));
    p.drawRoundedRect(QRectF(3, 12, 26, 12), 2, 2);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(9, 19, 14, 10));
    p.drawLine(QPointF(11, 23), QPointF(21, 23));
    p.drawLine(QPointF(11, 26), QPointF(19, 26));
    return QIcon(pm);
}

// A sheet with a grid of cells: a workbook.
QIcon workbookIcon()
{
    QPixmap pm = canvas();
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x1E, 0x6E, 0x3C), 1.5));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(4, 3, 24, 26), 2, 2);
    p.setBrush(QColor(0x21, 0x8A, 0x4B));
    p.drawRect(QRectF(4, 3, 24, 7));
    p.setPen(QPen(QColor(0x21, 0x8A, 0x4B), 1));
    for (int y = 15; y < 29; y += 5)
        p.drawLine(QPointF(4, y), QPointF(28, y));
    p.drawLine(QPointF(13, 10), QPointF(13, 29));
    p.drawLine(QPointF(20, 10), QPointF(20, 29));
    return QIcon(pm);
}

// A page with a ruler and a pencil: designing the printed page.
QIcon designIcon()
{
    QPixmap pm = canvas();
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x44, 0x44, 0x44), 1.5));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4, 3, 19, 26));
    p.setPen(QPen(QColor(0x88, 0x88, 0x88), 1));
    for (int y = 8; y < 26; y += 4)
        p.drawLine(QPointF(7, y), QPointF(19, y));
    p.setPen(QPen(QColor(0xC0, 0x6A, 0x00), 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(27, 9), QPointF(16, 25));
    return QIcon(pm);
}

QIcon magnifierIcon()
{
    QPixmap pm = canvas();
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x1F, 0x4E, 0x8C), 3));
    p.setBrush(QColor(0xD6, 0xE6, 0xF7));
    p.drawEllipse(QPointF(13, 13), 8, 8);
    p.setPen(QPen(QColor(0x1F, 0x4E, 0x8C), 5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(19, 19), QPointF(27, 27));
    return QIcon(pm);
}
} // namespace

namespace ToolIcons {
QIcon print() { return printerIcon(); }
QIcon workbook() { return workbookIcon(); }
QIcon design() { return designIcon(); }
QIcon query() { return magnifierIcon(); }
} // namespace ToolIcons
