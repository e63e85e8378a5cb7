#include "money/moneyedit.h"

#include "platform/ado/ignoring.h"
#include "platform/ui/boxes.h"
#include "platform/ui/regional.h"
#include "records/modQVDatabase.h"

#include <QComboBox>
#include <QGroupBox>
#include <QScreen>
#include <QTabBar>

namespace money {

void showColumns(ado::Recordset& rs, const BoxColumns& boxes)
{
    for (const BoxColumn& b : boxes) {
        const QVariant v = rs.value(b.column);
        if (!v.isNull())
            editing::setBoxText(b.box, regional::shownText(v));
    }
}

void storeColumns(ado::Recordset& rs, const BoxColumns& boxes)
{
    for (const BoxColumn& b : boxes)
        editing::assignText(rs, b.column, editing::boxText(b.box));
}

void fillBox(QComboBox* box, const QString& sql, const QString& listMode)
{
    QStringList items;
    if (!ado::ignoringErrors([&] { items = editing::columnTexts(sql); }))
        return;
    items.removeAll(QString());
    if (listMode.isEmpty())
        editing::fillListEmpty(box, items);
    else
        editing::fillList(box, items, true);
}

void fillNameBox(QComboBox* box, const QString& sql)
{
    // Everyone is offered, read a page at a time as the list is scrolled.
    ui::fillPaged(box, [sql](int offset, int count) {
        QStringList names;
        try {
            modQVDatabase::gConn.forEachRow(sql + " LIMIT ? OFFSET ?", {count, offset}, [&](const ado::Row& r) {
                names << r.text(0) + ' ' + r.text(1);
            });
        } catch (const ado::Error&) {
            ado::logIgnoredError();  // the names read so far are offered
        }
        return names;
    });
}

QTabBar* makeTabStrip(QWidget* parent, const QRect& at, const std::vector<std::pair<const char*, const char*>>& tabs)
{
    auto* strip = new QTabBar(parent);
    strip->setObjectName("TabStrip1");
    strip->setGeometry(at);
    strip->setExpanding(false);
    strip->setDrawBase(false);
    for (const auto& [caption, key] : tabs)
        strip->setTabData(strip->addTab(caption), QString(key));
    return strip;
}

QGroupBox* makePage(QWidget* parent, const QString& name, const QString& caption, const QRect& at)
{
    auto* page = new QGroupBox(caption, parent);
    page->setObjectName(name);
    page->setGeometry(at);
    return page;
}

void showPage(const std::vector<QGroupBox*>& pages, QGroupBox* shown)
{
    for (QGroupBox* page : pages)
        page->setVisible(page == shown);
    shown->raise();
}

void centredDialog(QWidget* window)
{
    window->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                           | Qt::WindowCloseButtonHint);
    if (const QScreen* screen = window->screen())
        window->move(screen->availableGeometry().center() - window->rect().center());
}

editing::ShownBoxes shownIn(const BoxColumns& boxes)
{
    editing::ShownBoxes out;
    for (const BoxColumn& b : boxes)
        out.push_back({b.column, b.box});
    return out;
}

void refreshMain(records::MainList list)
{
    emit records::notices().rowsChanged(list);
}

}  // namespace money
