#include "TFrmMain.h"

#include "app/AppConst.h"

TFrmMain::TFrmMain(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("FrmMain"));
    setWindowTitle(AppName() + AppVersion());
    resize(1100, 720);
}
