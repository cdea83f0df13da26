#pragma once

class QFrame;

namespace strovane::widgets {

// Draws `frame`'s own frame once more on top of its children. A scroll area's viewport is a
// child that fills the frame's inside; at a fractional scale (125 %, 150 %) its rounded edges
// can cover the frame's last line, and the list or grid loses its right or bottom border. The
// overlay takes no input and follows the frame's size.
void keepFrameOnTop(QFrame* frame);

} // namespace strovane::widgets
