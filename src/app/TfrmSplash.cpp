#include "TfrmSplash.h"

#include "AppConst.h"

#include <QApplication>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QScreen>

TfrmSplash::TfrmSplash(QWidget *parent) : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("frmSplash"));
    setFixedSize(470, 294);
    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont f;
    f.setFamilies({QStringLiteral("SimSun"), QStringLiteral("宋体"), QStringLiteral("WenQuanYi Micro Hei")});
    f.setPixelSize(14);
    Label1->setFont(f);
    Label1->setStyleSheet(QStringLiteral("color: black; background: transparent;"));
    Label1->setGeometry(24, height() - 40, width() - 48, 22);
    setLabel(QStringLiteral("系统正在启动，请稍候 ....."));
    if (QScreen *s = QGuiApplication::primaryScreen())
        move(s->geometry().center() - rect().center());
}

void TfrmSplash::setLabel(const QString &text)
{
    Label1->setText(text);
    m_history.append(text);
    repaintLabel();
}

void TfrmSplash::repaintLabel()
{
    if (isVisible())
        Label1->repaint();
}

QString TfrmSplash::labelText() const { return Label1->text(); }

void TfrmSplash::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, width(), height());
    g.setColorAt(0, QColor(222, 236, 250));
    g.setColorAt(1, QColor(150, 190, 232));
    p.fillRect(rect(), g);
    // a band of rising bars: the customer book growing
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 9; ++i) {
        const int h = 30 + i * 14;
        p.setBrush(QColor(255, 255, 255, 60 + i * 10));
        p.drawRoundedRect(QRectF(250 + i * 22, 210 - h, 16, h), 3, 3);
    }
    QFont title;
    title.setFamilies({QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Microsoft YaHei")});
    title.setPixelSize(30);
    title.setBold(true);
    p.setFont(title);
    p.setPen(QColor(20, 60, 120));
    p.drawText(QRect(24, 40, width() - 48, 44), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Kelmor客户管理软件"));
    QFont sub = title;
    sub.setPixelSize(16);
    sub.setBold(false);
    p.setFont(sub);
    p.setPen(QColor(40, 80, 140));
    p.drawText(QRect(26, 88, width() - 48, 24), Qt::AlignLeft | Qt::AlignVCenter, AppVersion().trimmed() + QStringLiteral("  ·  ") + VendorCaption());
    p.setPen(QColor(255, 255, 255, 160));
    p.drawLine(24, height() - 50, width() - 24, height() - 50);
}
