#pragma once
// The main window. For now an empty window of that name; its frame comes next.

#include <QMainWindow>

class frmMain : public QMainWindow {
    Q_OBJECT
public:
    static frmMain& instance();
    void Show();

private:
    frmMain();
};
