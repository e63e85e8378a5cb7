#pragma once
// The font dialog: typeface, style, size and, with the effects flag,
// strike-out, underline and one of the sixteen basic colours, with a sample.

#include "platform/ui/dialogs.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QFontComboBox;
class QLabel;

namespace ui {

class FontColourDialog : public QDialog {
public:
    FontColourDialog(const FontChoice& start, int flags, QWidget* parent = nullptr);
    FontChoice choice() const;

    QFontComboBox* face = nullptr;
    QComboBox* style = nullptr;
    QComboBox* size = nullptr;
    QCheckBox* strikeout = nullptr;
    QCheckBox* underline = nullptr;
    QComboBox* colour = nullptr;
    QLabel* sample = nullptr;

private:
    void showSample();
    double startSize_;
};

}  // namespace ui
