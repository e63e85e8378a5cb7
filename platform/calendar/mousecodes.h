#pragma once
// Mouse buttons and shift keys as the calendars' mouse events report them:
// buttons 1 left, 2 right, 4 middle; shift 1, ctrl 2, alt 4.

#include <Qt>

namespace calendar {

inline int vbButton(Qt::MouseButton b)
{
    switch (b) {
    case Qt::LeftButton: return 1;
    case Qt::RightButton: return 2;
    case Qt::MiddleButton: return 4;
    default: return 0;
    }
}

inline int vbShift(Qt::KeyboardModifiers m)
{
    return (m & Qt::ShiftModifier ? 1 : 0) | (m & Qt::ControlModifier ? 2 : 0) | (m & Qt::AltModifier ? 4 : 0);
}

}  // namespace calendar
