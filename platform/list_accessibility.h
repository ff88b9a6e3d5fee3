#pragma once

class QListView;

namespace wirtello {

// Tells a screen reader that an item of `view` has the keyboard focus only
// while the view itself has it. Qt's own description of a list marks its
// current item focused at all times, so after a dialog closes a screen reader
// found it beside the control that really took the focus back and read the
// wrong one.
void describeFocusHonestly(QListView& view);

} // namespace wirtello
