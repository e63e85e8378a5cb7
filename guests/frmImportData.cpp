#include "guests/frmImportData.h"

#include "platform/ado/ignoring.h"
#include "platform/twips.h"
#include "platform/ui/boxes.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/messages.h"
#include "records/editing.h"
#include "records/modQVDatabase.h"
#include "records/notices.h"

#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QSignalBlocker>
#include <QTableWidget>

namespace {

const QString kBlank = QStringLiteral("<Blank>");

QListWidgetItem* selectedEntry(QListWidget* list)
{
    const QList<QListWidgetItem*> sel = list->selectedItems();
    return sel.isEmpty() ? nullptr : sel.first();
}

void addEntry(QListWidget* list, const QString& text, int data)
{
    auto* item = new QListWidgetItem(text);
    item->setData(Qt::UserRole, data);
    list->addItem(item);
}

int entryData(const QListWidgetItem* item) { return item->data(Qt::UserRole).toInt(); }

}  // namespace

void frmImportData::createControls()
{
    using editing::makeButton;
    using editing::makeLabel;
    using editing::makeList;
    using twips::rect;
    QDialog* w = window();
    w->setObjectName(name());
    w->setWindowTitle("Import Data");
    w->setFixedSize(rect(0, 0, 10560, 9090).size());

    Label1[0] = makeLabel(w, "Label1_0", "Import guest information from other programs into Nuptaro.",
                          rect(120, 120, 10320, 285));
    QFont bold = Label1[0]->font();
    bold.setBold(true);
    Label1[0]->setFont(bold);
    Label1[1] = makeLabel(w, "Label1_1",
                          "First export the data you wish into a CSV file format.  CSV stands for comma separated "
                          "values, and is a common export format in most contact software.  You will then select the "
                          "file, its format and click \"Import\" to complete the process.",
                          rect(120, 480, 10320, 750));
    Label1[2] = makeLabel(w, "Label1_2",
                          "Highlight a Source Content and then highlight a Guest Field (Nuptaro) that corresponds to "
                          "that field.  Then press  \"Link\" to link these fields together.",
                          rect(120, 1290, 10320, 450));
    for (QLabel* l : {Label1[1], Label1[2]}) {
        l->setWordWrap(true);
        l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    }

    Command1 = makeButton(w, "Command1", "Select File", rect(120, 2040, 1680, 405), [this] { Command1_Click(); });
    Frame1 = new QGroupBox("Has Header", w);
    Frame1->setObjectName("Frame1");
    Frame1->setGeometry(rect(120, 2580, 1680, 1020));
    Picture1 = new QWidget(Frame1);
    Picture1->setObjectName("Picture1");
    Picture1->setGeometry(rect(120, 300, 1440, 630));
    Option1[0] = new QRadioButton("Yes", Picture1);
    Option1[0]->setObjectName("Option1_0");
    Option1[0]->setGeometry(rect(0, 0, 1440, 285));
    Option1[1] = new QRadioButton("No", Picture1);
    Option1[1]->setObjectName("Option1_1");
    Option1[1]->setGeometry(rect(0, 330, 1440, 285));
    Option1[0]->setChecked(true);
    Command3 = makeButton(w, "Command3", "Prev. Record", rect(120, 3780, 1680, 405), [this] { Command3_Click(); });
    Command2 = makeButton(w, "Command2", "Next Record", rect(120, 4290, 1680, 405), [this] { Command2_Click(); });

    Label2[0] = makeLabel(w, "Label2_0", "Source Contents:", rect(2040, 1800, 2640, 240));
    lstSource = makeList(w, "lstSource", rect(2040, 2040, 2640, 3360));
    Label2[2] = makeLabel(w, "Label2_2", "Record Count: 0", rect(2040, 5490, 2640, 285));
    Label2[1] = makeLabel(w, "Label2_1", "Guest Fields:", rect(4860, 1800, 2040, 240));
    lstTarget = makeList(w, "lstTarget", rect(4860, 2040, 2040, 3360));
    cmdLink = makeButton(w, "cmdLink", "Link", rect(7080, 2940, 960, 405), [this] { cmdLink_Click(); });
    cmdBreak = makeButton(w, "cmdBreak", "Break", rect(7080, 3450, 960, 405), [this] { cmdBreak_Click(); });
    Label2[3] = makeLabel(w, "Label2_3", "Created Links:", rect(8220, 1800, 2220, 240));
    lstLink = makeList(w, "lstLink", rect(8220, 2040, 2220, 3360));

    lblCharset = makeLabel(w, "lblCharset", "Character set:", rect(120, 5925, 1860, 285));
    auto* charsets = new ui::ListBox(w);
    charsets->setObjectName("cmbCharset");
    charsets->setGeometry(rect(2040, 5880, 4860, 330));
    for (const csv::Charset& c : csv::charsets())
        charsets->addItem(QString::fromLatin1(c.caption));
    charsets->setCurrentIndex(-1);
    charsets->setEnabled(false);
    cmbCharset = charsets;
    QObject::connect(cmbCharset, &QComboBox::activated, w, [this] { ui::guarded([this] { cmbCharset_Click(); }); });
    lblCharsetNote = makeLabel(w, "lblCharsetNote", QString(), rect(2040, 6255, 8400, 285));
    lblPreview = makeLabel(w, "lblPreview", "The first records as they will be stored:", rect(120, 6600, 10320, 240));
    grdPreview = new QTableWidget(w);
    grdPreview->setObjectName("grdPreview");
    grdPreview->setGeometry(rect(120, 6840, 10320, 1500));
    grdPreview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdPreview->verticalHeader()->setVisible(false);
    // The five records shown fit without scrolling.
    grdPreview->verticalHeader()->setDefaultSectionSize(grdPreview->fontMetrics().height() + 2);
    grdPreview->setWordWrap(false);

    cmdImport = makeButton(w, "cmdImport", "Import", rect(8220, 8520, 1050, 405), [this] { cmdImport_Click(); });
    cmdCancel = makeButton(w, "cmdCancel", "Cancel", rect(9390, 8520, 1050, 405), [this] { cmdCancel_Click(); });

    for (int i = 0; i < 2; ++i) {
        QObject::connect(Option1[i], &QRadioButton::toggled, w, [this, i](bool checked) {
            if (checked)
                ui::guarded([this, i] { Option1_Click(i); });
        });
    }
}

void frmImportData::releaseControls()
{
    Label1 = {};
    Label2 = {};
    Option1 = {};
    Command1 = Command2 = Command3 = cmdLink = cmdBreak = cmdImport = cmdCancel = nullptr;
    Frame1 = nullptr;
    Picture1 = nullptr;
    lstSource = lstTarget = lstLink = nullptr;
    lblCharset = lblCharsetNote = lblPreview = nullptr;
    cmbCharset = nullptr;
    grdPreview = nullptr;
}

void frmImportData::Form_Load()
{
    HasHeader = true;
    FileChosen = false;
    headerAsked_ = answeringHeader_ = false;
    CurRecord = 0;
    chosenCharset_ = -1;
    source_.reset();
    lastFile_.clear();
    SourceFolder.clear();
    SourceValues.clear();
    TargetNames.clear();
    for (const guestimport::GuestField& f : guestimport::fields())
        TargetNames << QString::fromLatin1(f.name);
    ClearLinks();
    FillTargetList();
    window()->raise();
}

void frmImportData::Form_Unload(bool&)
{
    source_.reset();
    emit records::notices().rowsChanged(records::MainList::People);
}

int frmImportData::sourceRecords() const
{
    return source_ ? source_->recordCount() : 0;
}

void frmImportData::Command1_Click()
{
    FileChosen = false;
    headerAsked_ = false;
    chosenCharset_ = -1;
    OpenSourceFile();
}

void frmImportData::cmbCharset_Click()
{
    if (!source_ || cmbCharset->currentIndex() < 0 || cmbCharset->currentIndex() == source_->charset())
        return;
    // What was shown and linked was read in the other set.
    chosenCharset_ = cmbCharset->currentIndex();
    source_->setCharset(chosenCharset_);
    ClearLinks();
    FillTargetList();
    tellUnreadable(QFileInfo(lastFile_).fileName(), false);
    ShowSourceRecord(CurRecord);
    fillPreview();
}

void frmImportData::Option1_Click(int index)
{
    HasHeader = index == 0;
    // An answer stands until the user changes the option.
    if (!answeringHeader_)
        headerAsked_ = false;
    if (FileChosen)
        OpenSourceFile();
}

void frmImportData::OpenSourceFile()
{
    source_.reset();
    if (!FileChosen) {
        ui::FileRequest r;
        r.filter = "Comma Separated Values (*.csv)|*.csv";
        r.fileName = lastFile_;
        const QString chosen = ui::dialogs().fileDialog(r, window());
        // Cancelling the dialog takes the file chosen before again.
        if (!chosen.isEmpty())
            lastFile_ = chosen;
        SourceFolder = lastFile_.isEmpty() ? QString() : QFileInfo(lastFile_).absolutePath();
        FileChosen = true;
    }
    const QString fileName = lastFile_.isEmpty() ? QString() : QFileInfo(lastFile_).fileName();
    // A file refused leaves nothing of the one shown before.
    auto refuse = [&](const QString& why, int style = ui::vbOKOnly | ui::vbExclamation) {
        clearSource();
        ui::MsgBox(why, style);
    };
    if (fileName.contains(' ')) {
        refuse("Please edit the file name to have no spaces before importing it.", ui::vbOKOnly);
        return;
    }
    FillTargetList();
    csv::Table t;
    {
        // Closed before any message.
        const std::unique_ptr<ui::Progress> bar =
            ui::dialogs().progress({"Import Data", QString("Reading %1...").arg(fileName), 1000}, window());
        t = csv::Table::read(fileName.isEmpty() ? QString() : SourceFolder + '/' + fileName,
                             [&](int permille) { return bar->setValue(permille); });
    }
    if (t.status() == csv::Table::Status::Cancelled) {
        clearSource();
        return;
    }
    if (t.status() == csv::Table::Status::TooLarge) {
        refuse(QString("The file %1 is larger than %2 MB and cannot be imported.")
                   .arg(fileName)
                   .arg(csv::kMaxFileBytes / (1024 * 1024)));
        return;
    }
    if (t.status() == csv::Table::Status::OpenQuote) {
        refuse(QString("The file %1 cannot be imported: the double quote that opens on line %2 is never closed.  "
                       "Correct the file and select it again.")
                   .arg(fileName)
                   .arg(t.openQuoteLine()));
        return;
    }
    // The set the user chose stands while the same file is read again.
    if (chosenCharset_ >= 0 && !t.charsetFixed())
        t.setCharset(chosenCharset_);
    // A title a spreadsheet put above the header is neither names nor a record.
    t.dropLeadingLines(guestimport::titleLines(t));
    source_ = std::move(t);
    showCharset();
    // Told before anything is linked.
    tellUnreadable(fileName, true);
    CurRecord = 1;
    ShowSourceRecord(CurRecord);
    fillPreview();
    ClearLinks();
    askAboutHeader();
}

void frmImportData::showCharset()
{
    const QSignalBlocker quiet(cmbCharset);
    cmbCharset->setCurrentIndex(source_ ? source_->charset() : -1);
    cmbCharset->setEnabled(source_ && !source_->charsetFixed());
}

void frmImportData::tellUnreadable(const QString& fileName, bool withMessage)
{
    lblCharsetNote->clear();
    if (!source_)
        return;
    if (const int bad = source_->badCharacters(); bad > 0) {
        const bool one = bad == 1;
        // A stray byte in Unicode is read as the commonest 8-bit set has it.
        const QString what = source_->charset() == csv::kUnicode
                                 ? QString("%1 not Unicode: %2 read as %3")
                                       .arg(one ? "is" : "are", one ? "it is" : "they are", cmbCharset->itemText(1))
                                 : QString("%1 not in this character set: %2 as \"\uFFFD\"")
                                       .arg(one ? "is" : "are", one ? "it shows" : "they show");
        const QString note = QString("%1 of the file (%2 line %3) %4.")
                                 .arg(one ? QString("1 character") : QString("%1 characters").arg(bad),
                                      one ? "on" : "the first on")
                                 .arg(source_->firstBadLine())
                                 .arg(what);
        lblCharsetNote->setText(note);
        if (withMessage)
            ui::MsgBox(QString("The file %1 is read as %2.  %3  Choose the character set the file was saved in, or "
                               "check the records before importing them.")
                           .arg(fileName, cmbCharset->itemText(source_->charset()), note),
                       ui::vbOKOnly | ui::vbExclamation);
        return;
    }
    if (withMessage && source_->hasUnreadableCharacters())
        ui::MsgBox(QString("Some characters of the file %1 could not be read: it may not be a text file, or it was "
                           "saved in a character set this import does not know.  Check the records before importing "
                           "them.")
                       .arg(fileName),
                   ui::vbOKOnly | ui::vbExclamation);
}

void frmImportData::fillPreview()
{
    grdPreview->clear();
    grdPreview->setRowCount(0);
    grdPreview->setColumnCount(0);
    if (sourceRecords() < 1)
        return;
    // The records in file order: without a header the first line is one.
    QList<csv::Record> shown;
    if (!HasHeader)
        shown << source_->names();
    constexpr int kShown = 5;
    for (int i = 0; shown.size() < kShown && i < sourceRecords(); ++i)
        shown << source_->record(i);
    constexpr int kMostColumns = 50;
    const int columns = std::min(source_->columnCount(), kMostColumns);
    grdPreview->setColumnCount(columns);
    grdPreview->setRowCount(int(shown.size()));
    const csv::Record names = source_->names();
    for (int k = 0; k < columns; ++k)
        grdPreview->setHorizontalHeaderItem(
            k, new QTableWidgetItem(HasHeader ? guestimport::cleanText(names.value(k), true) : QString::number(k + 1)));
    for (int r = 0; r < shown.size(); ++r)
        for (int k = 0; k < columns; ++k)
            grdPreview->setItem(r, k, new QTableWidgetItem(guestimport::cleanText(shown[r].value(k))));
}

void frmImportData::askAboutHeader()
{
    // Judged on the first line, which is either the names or a record that
    // would be imported; once per reading, so a Yes that turns the option
    // and reads the file again is not asked the opposite.
    if (headerAsked_ || sourceRecords() < 1)
        return;
    const bool guess = guestimport::looksLikeHeader(source_->names());
    if (guess == HasHeader)
        return;
    headerAsked_ = true;
    const QString question =
        guess ? "It appears that the data has header information.  Click Yes to confirm and proceed with header "
                "information."
              : "It appears that the data does not have header information.  Click Yes to confirm and proceed "
                "without header information.";
    if (ui::MsgBox(question, ui::vbYesNo) != ui::vbYes)
        return;
    answeringHeader_ = true;
    const auto done = qScopeGuard([this] { answeringHeader_ = false; });
    Option1[guess ? 0 : 1]->setChecked(true);
}

void frmImportData::clearSource()
{
    source_.reset();
    CurRecord = 0;
    SourceValues.clear();
    lstSource->clear();
    Label2[2]->setText("Record Count: 0");
    ClearLinks();
    FillTargetList();
    showCharset();
    lblCharsetNote->clear();
    fillPreview();
}

void frmImportData::ShowSourceRecord(int& r)
{
    const int n = sourceRecords();
    if (n < 1) {
        lstSource->clear();
        Label2[2]->setText("Record Count: 0");
        ui::MsgBox("The file selected has no records, or the records are of an unusable type.", ui::vbOKOnly);
        return;
    }
    if (r > n)
        r = 1;
    if (r < 1)
        r = n;
    Label2[2]->setText(QString("Record Count: %1 of %2").arg(r).arg(HasHeader ? n : n + 1));
    lstSource->clear();
    lstLink->clear();
    const bool header = r == 1 && HasHeader;
    const csv::Record shown = header ? source_->names() : source_->record(r - 1);
    SourceValues.clear();
    for (int k = 1; k <= shown.size(); ++k) {
        // Shown as it would be stored; an empty column name shows like an
        // empty value, so the entry can be seen and linked.
        const QString value = guestimport::cleanText(shown[k - 1]);
        const QString text = value.isEmpty() ? kBlank : value;
        addEntry(lstSource, text, k);
        SourceValues << text;
    }
}

void frmImportData::FillTargetList()
{
    lstTarget->clear();
    for (int i = 1; i <= guestimport::kFieldCount; ++i)
        addEntry(lstTarget, TargetNames[i - 1], i);
    LinkMap.fill(0);
}

void frmImportData::ClearLinks()
{
    LinkMap.fill(0);
    lstLink->clear();
}

void frmImportData::browse(int step)
{
    ClearLinks();
    FillTargetList();
    if (sourceRecords() >= 1) {
        CurRecord += step;
        ShowSourceRecord(CurRecord);
    }
}

void frmImportData::Command2_Click() { browse(+1); }

void frmImportData::Command3_Click() { browse(-1); }

void frmImportData::cmdLink_Click()
{
    QListWidgetItem* source = selectedEntry(lstSource);
    if (!source) {
        ui::MsgBox("Please select a field in the Source Contents list to link.", ui::vbOKOnly);
        return;
    }
    QListWidgetItem* target = selectedEntry(lstTarget);
    if (!target) {
        ui::MsgBox("Please select a field in the Guest Fields list to link.", ui::vbOKOnly);
        return;
    }
    const int field = entryData(target);
    addEntry(lstLink, source->text() + '=' + target->text(), field);
    LinkMap[field] = entryData(source);
    delete lstSource->takeItem(lstSource->row(source));
    delete lstTarget->takeItem(lstTarget->row(target));
    // Nothing stays chosen, so a second click cannot link a neighbour by accident.
    for (QListWidget* l : {lstSource, lstTarget}) {
        l->clearSelection();
        l->setCurrentItem(nullptr);
    }
}

void frmImportData::cmdBreak_Click()
{
    QListWidgetItem* link = selectedEntry(lstLink);
    if (!link) {
        ui::MsgBox("Please select a Created Link that you wish to break.", ui::vbOKOnly);
        return;
    }
    if (ui::MsgBox("Press Yes to break the selected link.", ui::vbYesNo) != ui::vbYes)
        return;
    const int t = entryData(link);
    const int k = LinkMap[t];
    if (k >= 1 && k <= SourceValues.size())
        addEntry(lstSource, SourceValues[k - 1], k);
    addEntry(lstTarget, TargetNames[t - 1], t);
    LinkMap[t] = 0;
    delete lstLink->takeItem(lstLink->row(link));
    lstLink->clearSelection();
    lstLink->setCurrentItem(nullptr);
}

void frmImportData::cmdImport_Click()
{
    if (ui::MsgBox("Press Yes to Import the records.", ui::vbYesNo, "Import Records") != ui::vbYes)
        return;
    if (!FileChosen) {
        ui::MsgBox("Please select a valid source file to import.", ui::vbOKOnly);
        return;
    }
    if (sourceRecords() < 1) {
        ui::MsgBox("There are no records selected.", ui::vbOKOnly);
        return;
    }
    const int records = sourceRecords() + (HasHeader ? 0 : 1);
    // Each record is a person, in a party of its name: a file larger than
    // the keys left would fail at its end, after the whole wait. Its
    // parties are counted only when the keys left could fall short.
    qint64 parties = records;
    ado::ignoringErrors([&] {
        if (modQVDatabase::gConn.keysLeft("GUEST") < records)
            parties = guestimport::newParties(*source_, HasHeader, LinkMap);
    });
    if (!editing::roomFor("GUEST", parties, window()) || !editing::roomFor("SUBGUEST", records, window()))
        return;
    int count = 0;
    bool stored = false;
    try {
        // A long import shows its progress, and Cancel undoes all of it.
        std::unique_ptr<ui::Progress> bar =
            ui::dialogs().progress({"Import Records", "Importing the records...", records}, window());
        stored = editing::saveAll(
            [&] {
                // The bar closes before any message.
                const auto closeBar = qScopeGuard([&] { bar.reset(); });
                count = guestimport::addParties(*source_, HasHeader, LinkMap,
                                                [&](int done) { return bar->setValue(done); });
                if (count > 0)
                    guestimport::mergeDuplicateParties([&] { return bar->setValue(records); });
            },
            window(), "The records could not be imported; nothing was added.");
    } catch (const guestimport::Cancelled&) {
        ui::MsgBox("The import was cancelled; nothing was added.", ui::vbOKOnly);
        return;
    }
    if (!stored || count < 1)
        return;
    ui::MsgBox(QString("Successfully added %1 records.").arg(count), ui::vbOKOnly);
    Unload();
}

void frmImportData::cmdCancel_Click()
{
    Unload();
}
