#include "app/frmAbout.h"

#include "platform/ado/ignoring.h"
#include "platform/ui/desktop.h"
#include "platform/ui/messages.h"
#include "records/modQVDatabase.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QDir>
#include <QSysInfo>
#include <QVBoxLayout>
#include <QtEndian>

#include <sqlite3.h>

QIcon nuptaroIcon()
{
    static const QIcon icon = [] {
        QIcon ic;
        for (int size : {16, 24, 32, 48, 64}) {
            QPixmap pm(size, size);
            pm.fill(Qt::transparent);
            QPainter p(&pm);
            p.setRenderHint(QPainter::Antialiasing);
            const qreal r = size * 0.27;
            const qreal pen = qMax(1.5, size / 11.0);
            p.setPen(QPen(QColor(212, 160, 23), pen));
            p.drawEllipse(QPointF(size * 0.37, size * 0.55), r, r);
            p.setPen(QPen(QColor(190, 190, 205), pen));
            p.drawEllipse(QPointF(size * 0.63, size * 0.55), r, r);
            // A small heart above the rings.
            QPainterPath heart;
            const qreal c = size * 0.5, t = size * 0.12, h = size * 0.16;
            heart.moveTo(c, t + h);
            heart.cubicTo(c - h * 1.4, t + h * 0.2, c - h * 0.5, t - h * 0.5, c, t + h * 0.25);
            heart.cubicTo(c + h * 0.5, t - h * 0.5, c + h * 1.4, t + h * 0.2, c, t + h);
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(214, 40, 90));
            p.drawPath(heart);
            p.end();
            ic.addPixmap(pm);
        }
        return ic;
    }();
    return icon;
}

void frmAbout::createControls()
{
    QDialog* w = window();
    w->resize(480, 300);

    Shape1 = new QFrame(w);
    Shape1->setObjectName("Shape1");
    Shape1->setFrameShape(QFrame::Box);
    picIcon = new QLabel(Shape1);
    picIcon->setObjectName("picIcon");
    picIcon->setPixmap(nuptaroIcon().pixmap(48, 48));
    auto* iconBox = new QVBoxLayout(Shape1);
    iconBox->addWidget(picIcon);

    lblTitle = new QLabel(w);
    lblTitle->setObjectName("lblTitle");
    QFont big = lblTitle->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    lblTitle->setFont(big);
    lblVersion = new QLabel(w);
    lblVersion->setObjectName("lblVersion");
    lblDescription = new QLabel(
        "Nuptaro keeps every part of your wedding plan in one place: the calendar, tasks, events, guests, "
        "seating, vendors, budget, attire and gifts.",
        w);
    lblDescription->setObjectName("lblDescription");
    lblDescription->setWordWrap(true);
    Line1 = new QFrame(w);
    Line1->setObjectName("Line1");
    Line1->setFrameShape(QFrame::HLine);
    Line1->setFrameShadow(QFrame::Sunken);
    lblDisclaimer = new QLabel(
        "Nuptaro comes without any warranty.  Keep a copy of its data folder (see Help, Contents) so that "
        "your plan is never lost.",
        w);
    lblDisclaimer->setObjectName("lblDisclaimer");
    lblDisclaimer->setWordWrap(true);

    cmdOK = new QPushButton("OK", w);
    cmdOK->setObjectName("cmdOK");
    cmdOK->setDefault(true);
    cmdSysInfo = new QPushButton("&System Info...", w);
    cmdSysInfo->setObjectName("cmdSysInfo");
    // Focused after its message closes, it still leaves Enter to OK.
    cmdSysInfo->setAutoDefault(false);

    auto* grid = new QGridLayout(w);
    grid->addWidget(Shape1, 0, 0, 3, 1, Qt::AlignTop);
    grid->addWidget(lblTitle, 0, 1);
    grid->addWidget(lblVersion, 1, 1);
    grid->addWidget(lblDescription, 2, 1);
    grid->addWidget(Line1, 3, 0, 1, 2);
    grid->addWidget(lblDisclaimer, 4, 0, 1, 2);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdSysInfo);
    buttons->addStretch();
    grid->addLayout(buttons, 0, 2, 5, 1);

    QObject::connect(cmdOK, &QPushButton::clicked, w, [this] { ui::guarded([this] { cmdOK_Click(); }); });
    QObject::connect(cmdSysInfo, &QPushButton::clicked, w, [this] { ui::guarded([this] { cmdSysInfo_Click(); }); });
}

void frmAbout::releaseControls()
{
    picIcon = lblTitle = lblVersion = lblDescription = lblDisclaimer = nullptr;
    cmdOK = cmdSysInfo = nullptr;
    Shape1 = Line1 = nullptr;
}

void frmAbout::Form_Load()
{
    window()->setWindowTitle("About Nuptaro");
    lblVersion->setText(QString("Version %1.%2.%3").arg(appversion::kMajor).arg(appversion::kMinor).arg(appversion::kRevision));
    lblTitle->setText("Nuptaro");
}

void frmAbout::cmdOK_Click() { Unload(); }

void frmAbout::cmdSysInfo_Click() { StartSysInfo(); }

void frmAbout::StartSysInfo()
{
    try {
        QString path;
        if (GetKeyValue(HKEY_LOCAL_MACHINE, kInfoKey, kInfoValue, path)) {
            if (ui::desktop().startProgram(path, {}))
                return;
        } else if (GetKeyValue(HKEY_LOCAL_MACHINE, kLocationKey, kLocationValue, path)) {
            const QString tool = path + "/MSINFO32.EXE";
            if (ui::desktop().fileExists(tool) && ui::desktop().startProgram(tool, {}))
                return;
        }
    } catch (const std::exception&) {
        ado::logIgnoredError();
    }
    // No tool of its own: what the program knows of the system.
    ui::MsgBox(systemInformation(), ui::vbInformation | ui::vbOKOnly, kSystemInformation, window());
}

QString frmAbout::systemInformation()
{
    return QString("System:  %1 (%2 %3)\nQt:  %4\nSQLite:  %5\nData folder:  %6")
        .arg(QSysInfo::prettyProductName(), QSysInfo::kernelType(), QSysInfo::kernelVersion(), qVersion(),
             sqlite3_libversion(), QDir::toNativeSeparators(modQVDatabase::dataFolder()));
}

bool frmAbout::GetKeyValue(qint32 KeyRoot, const QString& KeyName, const QString& SubKeyRef, QString& KeyVal)
{
    int type = 0;
    QByteArray data;
    if (!registry() || !registry()(KeyRoot, KeyName, SubKeyRef, type, data)) {
        KeyVal.clear();
        return false;
    }
    switch (type) {
    case REG_SZ: {
        QByteArray text = data;
        if (!text.isEmpty() && text.back() == '\0')
            text.chop(1);
        KeyVal = QString::fromLocal8Bit(text);
        break;
    }
    case REG_DWORD:
        if (data.size() >= 4)
            KeyVal = QString::number(qFromLittleEndian<quint32>(data.constData()));
        break;
    default: break;  // other kinds leave KeyVal as it was
    }
    return true;
}

frmAbout::Registry& frmAbout::registry()
{
    static Registry r = standardRegistry();
    return r;
}

frmAbout::Registry frmAbout::standardRegistry()
{
    // This system keeps no such settings: System Info shows what the program
    // knows of the system.
    return [](qint32, const QString&, const QString&, int&, QByteArray&) { return false; };
}
