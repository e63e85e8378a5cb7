#include "platform/ui/fontdialog.h"

#include "platform/ui/boxes.h"
#include "platform/ui/fonts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QVBoxLayout>

namespace ui {

namespace {

const std::pair<const char*, QRgb> kColours[] = {
    {"Black", 0x000000},  {"Maroon", 0x800000}, {"Green", 0x008000}, {"Olive", 0x808000},
    {"Navy", 0x000080},   {"Purple", 0x800080}, {"Teal", 0x008080},  {"Gray", 0x808080},
    {"Silver", 0xC0C0C0}, {"Red", 0xFF0000},    {"Lime", 0x00FF00},  {"Yellow", 0xFFFF00},
    {"Blue", 0x0000FF},   {"Fuchsia", 0xFF00FF}, {"Aqua", 0x00FFFF}, {"White", 0xFFFFFF},
};

const char* kStyles[] = {"Regular", "Italic", "Bold", "Bold Italic"};

}  // namespace

FontColourDialog::FontColourDialog(const FontChoice& start, int flags, QWidget* parent)
    : QDialog(parent), startSize_(start.size)
{
    setWindowTitle("Font");
    face = new QFontComboBox(this);
    face->setObjectName("face");
    face->setCurrentFont(QFont(start.name));
    style = new ListBox(this);
    style->setObjectName("style");
    for (const char* s : kStyles)
        style->addItem(s);
    style->setCurrentIndex((start.bold ? 2 : 0) + (start.italic ? 1 : 0));
    // A size typed is taken as typed: "1" is not completed to "10".
    size = new ListBox(this, true);
    size->setObjectName("size");
    for (int s : {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72})
        size->addItem(QString::number(s));
    size->setCurrentText(QString::number(start.size));

    auto* form = new QFormLayout;
    form->addRow("&Font:", face);
    form->addRow("Font st&yle:", style);
    form->addRow("&Size:", size);

    auto* box = new QVBoxLayout(this);
    box->addLayout(form);

    auto* effects = new QGroupBox("Effects", this);
    strikeout = new QCheckBox("Stri&keout", effects);
    strikeout->setObjectName("strikeout");
    strikeout->setChecked(start.strikethru);
    underline = new QCheckBox("&Underline", effects);
    underline->setObjectName("underline");
    underline->setChecked(start.underline);
    colour = new ListBox(effects);
    colour->setObjectName("colour");
    for (const auto& [name, rgb] : kColours) {
        QPixmap swatch(16, 12);
        swatch.fill(QColor(rgb));
        colour->addItem(QIcon(swatch), name, QColor(rgb));
    }
    int at = colour->findData(start.color);
    if (at < 0) {
        // A colour chosen elsewhere stays offered as it is.
        colour->addItem("Custom", start.color);
        at = colour->count() - 1;
    }
    colour->setCurrentIndex(at);
    auto* fx = new QFormLayout(effects);
    fx->addRow(strikeout);
    fx->addRow(underline);
    fx->addRow("&Color:", colour);
    effects->setVisible(flags & cdlCFEffects);
    box->addWidget(effects);

    sample = new QLabel("AaBbYyZz", this);
    sample->setObjectName("sample");
    sample->setAlignment(Qt::AlignCenter);
    sample->setMinimumHeight(60);
    sample->setFrameShape(QFrame::StyledPanel);
    box->addWidget(sample);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    box->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    connect(face, &QFontComboBox::currentFontChanged, this, [this] { showSample(); });
    connect(style, &QComboBox::currentIndexChanged, this, [this] { showSample(); });
    connect(size, &QComboBox::currentTextChanged, this, [this] { showSample(); });
    connect(strikeout, &QCheckBox::toggled, this, [this] { showSample(); });
    connect(underline, &QCheckBox::toggled, this, [this] { showSample(); });
    connect(colour, &QComboBox::currentIndexChanged, this, [this] { showSample(); });
    showSample();
}

FontChoice FontColourDialog::choice() const
{
    FontChoice f;
    f.name = face->currentFont().family();
    bool ok = false;
    const double s = size->currentText().trimmed().toDouble(&ok);
    f.size = ok && s > 0 ? s : startSize_;
    f.bold = style->currentIndex() >= 2;
    f.italic = style->currentIndex() % 2 == 1;
    f.underline = underline->isChecked();
    f.strikethru = strikeout->isChecked();
    f.color = colour->currentData().value<QColor>();
    return f;
}

void FontColourDialog::showSample()
{
    const FontChoice f = choice();
    QFont q = fonts::font(f.name);
    q.setPointSizeF(qBound(4.0, f.size, 48.0));
    q.setBold(f.bold);
    q.setItalic(f.italic);
    q.setUnderline(f.underline);
    q.setStrikeOut(f.strikethru);
    sample->setFont(q);
    QPalette pal = sample->palette();
    pal.setColor(QPalette::WindowText, f.color);
    sample->setPalette(pal);
}

}  // namespace ui
