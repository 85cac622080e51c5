#pragma once

namespace vexilo {

struct Declare;
class Platform;
class frmForma;

// Writes "Options.ini" from the main window's controls and the shared state. A failure is
// reported with two messages and never stops the window from closing.
void SaveFile(frmForma &form, Declare &state, Platform &platform);

// Restores the controls and the shared state from "Options.ini" (defaults when there is no
// readable file), then loads the remembered glyph set without drawing.
void OpenFile(frmForma &form, Declare &state, Platform &platform);

} // namespace vexilo
