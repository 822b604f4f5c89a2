#pragma once
// The two small arrows beside a number edit that step its value, as a spin
// control beside its buddy edit does. The edit keeps the value and its
// check, so a typed value is refused the same way as a stepped one.

#include <functional>

class QWidget;

namespace lumetra::gui {

// The up arrow steps by +1, the down arrow by −1; both repeat while held.
QWidget* NewStepArrows(int controlId, std::function<void(int delta)> step);

}  // namespace lumetra::gui
