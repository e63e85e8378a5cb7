#pragma once
// The table layout designer: a palette of table shapes and reception items
// that places their pictures on a diagram of the room, where the user moves
// and sizes them; undo, redo, print and print preview on the toolbar. It
// reads and writes no data: the diagram lives while the window is open.

#include "platform/diagram/addflow.h"
#include "platform/diagram/buttonbar.h"
#include "platform/diagram/prnflow.h"
#include "platform/ui/forms.h"

#include <QDate>
#include <QMap>
#include <QPixmap>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>

class QToolBar;

class frmTables : public ui::Form<frmTables, QWidget> {
public:
    frmTables() : Form("frmTables") {}

    void Form_Load() override;
    void Form_Resize();
    void ButtonBar2_ButtonClick(const QString& key);
    void Toolbar1_ButtonClick(const QString& key);

    // The printed header on a given day: the date at the right.
    static QString layoutHeader(const QDate& day);
    // Where today's date comes from; tests set a day of their own.
    std::function<QDate()> today;

    QToolBar* Toolbar1 = nullptr;
    diagram::ButtonBar* ButtonBar2 = nullptr;
    diagram::AddFlow* AddFlow = nullptr;
    std::unique_ptr<diagram::PrnFlow> PrnFlow1;
    QMap<QString, QPixmap> ImageList1;

protected:
    QWidget* makeWidget(QWidget* parent) override;
    void createControls() override;
    void releaseControls() override;

private:
    void ResizeControls();
    void PreviewLayout();
    void PrintLayout();
    void setUpPrint(bool preview);
};
