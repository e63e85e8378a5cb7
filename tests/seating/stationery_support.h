#pragma once
// The label and place-card windows on a fresh database: parties with their
// addresses invited to events, tables with seated people, dialogs scripted,
// and every print job recorded at 600 dots per inch on Letter paper.

#include "seating_support.h"

#include "platform/print/printer.h"
#include "platform/twips.h"
#include "platform/ui/dialogs.h"
#include "support/userinput.h"

#include <QComboBox>
#include <QFontMetricsF>
#include <QImage>
#include <QPrinter>
#include <QTest>

namespace testsupport {

class StationeryTest : public SeatingTest {
protected:
    void TearDown() override
    {
        SeatingTest::TearDown();
        // The printer outlives every window; the next test starts from a plain one.
        printing::Printer& p = printing::printer();
        p.FontBold = p.FontItalic = p.FontUnderline = p.FontStrikethru = false;
        p.device().setOutputFileName(QString());
        p.device().setOutputFormat(QPrinter::NativeFormat);
        p.device().setPageSize(QPageSize(QPageSize::Letter));
    }

    qint64 addressed(const QVariant& name, const QVariant& a1, const QVariant& a2, const QVariant& city,
                     const QVariant& state, const QVariant& zip)
    {
        return insert("GUEST", "GUEST_PARTYNAME, GUEST_ADDRESS1, GUEST_ADDRESS2, GUEST_CITY, GUEST_STATE, GUEST_ZIP",
                      {name, a1, a2, city, state, zip});
    }
    // Parties "Party 01" ... with one invited person each.
    void invitedParties(qint64 ev, int n)
    {
        ado::Transaction seeding(db());
        for (int i = 1; i <= n; ++i) {
            const qint64 g = addressed(QString("Party %1").arg(i, 2, 10, QChar('0')), QString("%1 Main St").arg(i),
                                       QVariant(), "Springfield", "IL", "62701");
            person(g, "Pat", QString("Guest%1").arg(i), {ev});
        }
        seeding.commit();
    }

    // Opens a window as the main window's command does, but modeless, so
    // the test goes on acting on it.
    template <class F>
    static F& show()
    {
        F::instance().Show(ui::vbModeless);
        return F::instance();
    }
    // Presses Print and accepts the print dialog with that many copies.
    void printWith(QAbstractButton* cmdPrint, int copies)
    {
        dialogs.dialogs->printAnswers << true;
        dialogs.dialogs->printCopies << copies;
        click(cmdPrint);
    }

    // Picks a list entry with the arrow keys, as a user does.
    static void pick(QComboBox* box, int index)
    {
        box->setFocus();
        for (int guard = 0; box->currentIndex() < index && guard < 200; ++guard)
            QTest::keyClick(box, Qt::Key_Down);
        for (int guard = 0; box->currentIndex() > index && guard < 200; ++guard)
            QTest::keyClick(box, Qt::Key_Up);
    }
    static void pick(QComboBox* box, const QString& text) { pick(box, box->findText(text)); }

    // The texts of a recorded page.
    static QStringList texts(const printing::RecordingSurface::Page& page)
    {
        QStringList out;
        for (const printing::Drawn& d : page.texts())
            out << d.text;
        return out;
    }

    QList<printing::RecordingPrinterGuard::Job>& jobs() { return recording->jobs; }

    // A font's measures as the 600-dot paper of the recorded jobs draws it.
    static QFontMetricsF onPaper(const printing::TextFont& f)
    {
        static QImage probe = [] {
            QImage i(1, 1, QImage::Format_RGB32);
            i.setDotsPerMeterX(qRound(600 / 0.0254));
            i.setDotsPerMeterY(qRound(600 / 0.0254));
            return i;
        }();
        return QFontMetricsF(printing::qtFont(f, 600), &probe);
    }

    ui::ScriptedDialogsGuard dialogs;
    // Tests of real output let it go.
    std::unique_ptr<printing::RecordingPrinterGuard> recording = std::make_unique<printing::RecordingPrinterGuard>(600);
};

}  // namespace testsupport
