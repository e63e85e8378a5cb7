#pragma once
// Printing of a diagram surface: one page with the whole diagram, at its
// size on screen or shrunk to fit, between a header and a footer text.
// Previews go to the program's print preview, prints through its printer
// choice, so a print can always go to a PDF file.

#include "platform/diagram/addflow.h"
#include "platform/print/printer.h"

#include <QColor>
#include <QPointer>
#include <QPrinter>
#include <QRectF>
#include <QSizeF>
#include <QString>

namespace diagram {

// A page text split at its "|" marks into what stands at the left, in the
// centre and at the right; "<PAGE>" becomes the page's number.
struct PageTexts {
    QString left, centre, right;
};
PageTexts pageTexts(const QString& text, int page);

// A colour value with red in its low byte, then green, then blue.
QColor colorValue(int value);

// A printed page, in twips from the paper's corner.
struct DiagramPage {
    QSizeF paper;
    QRectF header, footer;    // the bands of the page texts
    PageTexts headerTexts, footerTexts;
    QRectF source;            // the part of the diagram printed, in diagram units
    QRectF target;            // where it lands; empty for an empty diagram
};

constexpr int kPageMargin = 720;
constexpr int kTwipsPerUnit = 15;    // a diagram unit is a pixel

DiagramPage layoutPage(const QRectF& extent, const QSizeF& paperTwips, int textPoints, const QString& header,
                       const QString& footer, int page = 1);

class PrnFlow {
public:
    PrnFlow();

    void setFlow(AddFlow* flow) { flow_ = flow; }
    AddFlow* flow() const { return flow_; }
    // The name of the printed document.
    void setTitle(const QString& t) { title_ = t; }
    QString title() const { return title_; }
    // The size of the page texts in points.
    void setTextSize(int points) { textSize_ = points; }
    int textSize() const { return textSize_; }
    void setHeader(const QString& t) { header_ = t; }
    QString header() const { return header_; }
    void setFooter(const QString& t) { footer_ = t; }
    QString footer() const { return footer_; }
    // The colour of the page texts, as a colour value (see colorValue).
    void setForeColor(int value) { foreColor_ = value; }
    int foreColor() const { return foreColor_; }
    void setPreview(bool on) { preview_ = on; }
    bool preview() const { return preview_; }
    // Where a preview is shown: the owner's window gives its pages to the
    // program's preview under that title. Unset, a preview shows nothing.
    using Previewer = std::function<void(const printing::PageRenderer&, QWidget& owner, const QString& title)>;
    void setPreviewer(Previewer p) { previewer_ = std::move(p); }

    // Shows the preview in place of the diagram's window, or prints.
    void PrintDocument();

    // The page as it prints on that paper.
    DiagramPage layout(const QSizeF& paperTwips) const;

    QPrinter& printer() { return printer_; }

private:
    QPointer<AddFlow> flow_;
    QString title_;
    int textSize_ = 10;
    QString header_, footer_;
    int foreColor_ = 0;
    bool preview_ = false;
    Previewer previewer_;
    QPrinter printer_;
};

}  // namespace diagram
