#pragma once
// Texts that stay whole. The windows place their controls in twips for text
// of Arial's measures; under another font, or with a longer text than the
// design foresaw, a caption would be cut. Here a label, button, check box,
// option button, frame caption or drop-down list whose text does not fit
// its designed place grows into the free room beside it, on the side its
// text is aligned to first (a frame or picture box grows with it where its
// own room is too small); a label wraps onto further lines instead where
// its place is tall enough, or where growing sideways is not enough, and
// then grows down. A toolbar too low for captions under its icons shows
// them beside. A control whose text fits again goes back to its design.
//
// Forms apply it to every window they load; it follows the window from
// then on: changed texts, fonts and shown pages are fitted again before
// they are painted.

class QWidget;

namespace ui {

void keepTextsWhole(QWidget* window);

}  // namespace ui
