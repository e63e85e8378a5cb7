#pragma once
// Texts that stay whole. The windows place their controls in twips for text
// of Arial's measures; under another font, or with a longer text than the
// design foresaw, a caption would be cut. Here a label, button, check box,
// option button, frame caption, drop-down list or toolbar whose text does
// not fit its designed place grows into the free room beside it (a frame or
// picture box grows with it where its own room is too small); a label that
// still does not fit wraps onto further lines, growing down. A control
// whose text fits again goes back to its designed place.
//
// Forms apply it to every window they load; it follows the window from
// then on: changed texts, fonts and shown pages are fitted again before
// they are painted.

class QWidget;

namespace ui {

void keepTextsWhole(QWidget* window);

// Fits the window's texts now (after changes made while it is hidden, for
// one); keepTextsWhole does it by itself whenever the window shows them.
void fitTexts(QWidget* window);

}  // namespace ui
