#include "views/viewpattern.h"

#include "platform/ado/ignoring.h"
#include "platform/grid/gridex.h"
#include "records/editing.h"

namespace views {

namespace {

// Runs one step; a failure is passed over (and logged) unless the view
// raises its errors.
class Steps {
public:
    explicit Steps(bool raise) : raise_(raise) {}
    template <class F>
    void operator()(F&& f, const std::source_location& where = std::source_location::current()) const
    {
        if (raise_)
            f();
        else
            ado::ignoringErrors(std::forward<F>(f), where);
    }

private:
    bool raise_;
};

}  // namespace

void ApplyTotals(const ViewDef& def, grid::GridEX& grid)
{
    grid.setTotalRow(def.totalRow);
    for (const ColumnDef& c : def.columns) {
        if (!c.aggregate)
            continue;
        grid.setColumnAggregate(c.number, c.aggregate);
        grid.setColumnTotalFormat(c.number, c.totalFormat);
        grid.setColumnTotalPrefix(c.number, c.totalPrefix);
    }
}

void ApplyView(const ViewDef& def, const ViewTarget& t)
{
    const Steps step(def.raisesErrors);

    step([&] {
        if (t.showTitle)
            t.showTitle(def);
    });

    // Fresh recordsets in every member the view fills.
    for (const LookupDef& l : def.lookups)
        t.member(l.member) = ado::Recordset::create();
    ado::RecordsetPtr& rows = t.member(def.member);
    rows = ado::Recordset::create();

    for (const LookupDef& l : def.lookups) {
        ado::RecordsetPtr rs = t.member(l.member);
        step([&] { rs->Open(l.sql, *t.conn, ado::adOpenKeyset, ado::adLockOptimistic); });
        grid::GridEX* list = (l.grid >= 2 && l.grid <= 4) ? t.lists[l.grid] : nullptr;
        if (!list)
            continue;
        step([&] {
            list->bind(rs);
            list->setListMode(true);
            list->setListAutoHide(true);
            for (int c : l.hiddenColumns)
                list->setColumnHidden(c, true);
            list->setValueColumn(l.valueColumn);
        });
    }

    ado::RecordsetPtr rs = rows;
    const auto open = [&] { rs->Open(def.sql, *t.conn, def.cursor, def.lock, t.params); };
    if (def.raisesErrors)
        open();
    else if (!editing::readList(open, t.grid ? t.grid->window() : nullptr) && t.unread)
        t.unread(def);

    grid::GridEX* g = t.grid;
    if (!g)
        return;

    step([&] {
        if (t.layoutStep && def.layout >= 0)
            g->setGridLayout(def.layout == 1 ? grid::Layout::Cards : grid::Layout::Rows);
        if (def.cardWidth == kGridWidth)
            g->setCardWidth(g->widthTwips());
        else if (def.cardWidth > 0)
            g->setCardWidth(def.cardWidth);
    });
    step([&] { g->bind(rs); });
    step([&] {
        if (def.s1)
            g->setSettingS1(*def.s1);
        if (def.s2)
            g->setSettingS2(*def.s2);
    });
    if (def.groupBy)
        step([&] { g->groupBy(def.groupBy); });

    for (const ColumnDef& c : def.columns) {
        step([&] {
            if (c.hidden)
                g->setColumnHidden(c.number, true);
            if (c.width > 0)
                g->setColumnWidth(c.number, c.width);
            if (!c.format.isEmpty())
                g->setColumnFormat(c.number, c.format);
            if (c.editType >= 0)
                g->setColumnEditType(c.number, c.editType);
            if (c.dropDown >= 2 && c.dropDown <= 4 && t.lists[c.dropDown])
                g->setColumnDropDown(c.number, t.lists[c.dropDown]);
            if (c.cardCaption)
                g->setColumnCardCaption(c.number, true);
        });
    }

    if (def.refresh)
        step([&] { g->refresh(true); });
    if (def.currentRow1)
        step([&] { g->setCurrentRow(1); });
    if (def.totalRow >= 0)
        step([&] { ApplyTotals(def, *g); });
    if (def.redraw)
        step([&] { g->redraw(); });
    if (def.cardsAcross > 0)
        step([&] { g->setCardsAcross(def.cardsAcross); });
}

bool RefreshGrid(grid::GridEX* grid, const ado::RecordsetPtr& rs)
{
    if (!rs)
        return false;
    if (grid) {
        grid->setSettingS3(true);
        grid->operationR();
    }
    // A recordset that is not open (its view never opened it) is skipped.
    if (!rs->isOpen() || !editing::readList([&] { rs->Requery(); }, grid ? grid->window() : nullptr))
        return false;
    if (grid && grid->recordset() == rs)
        grid->bind(rs);
    return true;
}

}  // namespace views
