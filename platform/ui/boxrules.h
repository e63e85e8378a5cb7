#pragma once
// What every box of the program keeps to, in whichever window it stands: a
// box changes only when the user has chosen it.
//
// - The mouse wheel over a list or number box, or a tab strip, scrolls what
//   the box stands in; it neither changes the box (nor the page) nor gives
//   it the focus. Only a box the user has clicked or tabbed into (and not
//   yet left) takes the wheel; one a window merely opened on does not.
// - Line breaks pasted or dropped into a one-line box (a grid cell's too)
//   become blanks, so no invisible line feed is stored. A text the program
//   puts into a box is left as it is.

namespace ui {

// Puts the rules in force for every box of the application, once, when the
// application starts.
void keepBoxRules();

}  // namespace ui
