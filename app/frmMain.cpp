#include "app/frmMain.h"

frmMain& frmMain::instance()
{
    static frmMain* w = new frmMain;
    return *w;
}

frmMain::frmMain()
{
    setObjectName("frmMain");
    setWindowTitle("Nuptaro");
    resize(800, 600);
}

void frmMain::Show()
{
    show();
}
