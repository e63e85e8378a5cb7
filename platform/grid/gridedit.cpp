#include "platform/grid/gridex.h"

#include "platform/grid/griddelegate.h"
#include "platform/ui/messages.h"
#include "platform/ui/regional.h"

#include <QScopedValueRollback>

namespace grid {

// --------------------------------------------------------------- change log

namespace {
ChangeLog& changeLogHook()
{
    static ChangeLog log;
    return log;
}
}  // namespace

void setChangeLog(ChangeLog log)
{
    changeLogHook() = std::move(log);
}

const ChangeLog& changeLog()
{
    return changeLogHook();
}

// ------------------------------------------------------------------ editing

bool GridEX::editCell(int row, int column, const QVariant& v)
{
    lastEditError_.clear();
    lastEditUnread_ = false;
    const int record = recordOfRow(row);
    if (record < 0 || !isColumnEditable(column)) {
        emit editRejected(row, column, v.toString());
        return false;
    }
    if (writeGuard_ && !writeGuard_())
        return false;
    QVariant in;
    if (!typedValue(column, v, in)) {
        // The cell shows its value again; the message comes once the editor
        // has closed, and not at all when the caller reports the failure.
        lastEditError_ = regional::refusal(rs_->fieldKind(column - 1), v.toString());
        lastEditUnread_ = true;
        emit editRejected(row, column, v.toString());
        if (!reportingWrite_ && !editorWriting_)
            QMetaObject::invokeMethod(
                this, [this, why = lastEditError_] { ui::MsgBox(why, ui::vbExclamation | ui::vbOKOnly, QString(), window()); },
                Qt::QueuedConnection);
        return false;
    }
    bool ok = false;
    inEdit_ = true;
    try {
        // The cell and its change-log row are stored together or not at all.
        ok = rs_->setCell(record, column - 1, in, [&] { logEdit(record, column); });
    } catch (const ado::Error& e) {
        ok = false;
        lastEditError_ = e.description();
    }
    inEdit_ = false;
    if (!ok) {
        emit editRejected(row, column, v.toString());
        return false;
    }
    return true;
}

bool GridEX::typedValue(int column, const QVariant& v, QVariant& out) const
{
    const ado::ColumnKind kind = rs_->fieldKind(column - 1);
    if (v.typeId() != QMetaType::QString || kind == ado::ColumnKind::Text) {
        out = v;
        return true;
    }
    // A cleared cell of a typed column stores NULL.
    if (v.toString().trimmed().isEmpty()) {
        out = QVariant();
        return true;
    }
    return regional::readValue(kind, v.toString(), out);
}

void GridEX::logEdit(int record, int column)
{
    // The change log names the changed row by its table and key; the key of
    // the base row comes from the recordset, selected or not.
    const QString table = rs_->fieldTable(column - 1);
    if (table.isEmpty() || !changeLog())
        return;
    const QVariant id = rs_->rowKey(record, column - 1);
    if (!id.isNull())
        changeLog()(table, id.toLongLong(), 2);
}

bool GridEX::editPending() const
{
    return delegate_->openEditor() && delegate_->editorModified();
}

bool GridEX::writeCurrentRow()
{
    QWidget* ed = delegate_->openEditor();
    if (!ed)
        return true;
    {
        const QScopedValueRollback<bool> reporting(reportingWrite_, true);
        emit delegate_->commitData(ed);
    }
    // The caller tells of a refusal, and the editor stays as it is.
    delegate_->takeRefused();
    const bool ok = delegate_->lastWriteOk();
    if (ok)
        emit delegate_->closeEditor(ed, QAbstractItemDelegate::NoHint);
    return ok;
}

void GridEX::cancelEdit()
{
    if (QWidget* ed = delegate_->openEditor())
        emit delegate_->closeEditor(ed, QAbstractItemDelegate::RevertModelCache);
}

}  // namespace grid
