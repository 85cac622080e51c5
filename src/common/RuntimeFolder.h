#pragma once

namespace vexilo {

// A GUI application of Qt looks into the user's runtime folder as it starts, and warns on
// standard error when XDG_RUNTIME_DIR is not set (cron, an ssh login, CI). Called before the
// application object is made, this names the folder Qt would fall back on itself,
// "/tmp/runtime-USER", made private (0700) when missing, so that the programs' own messages
// stay the only lines there. A folder of that name that is not the user's own private folder is
// not taken: Qt then says so as before.
void provideRuntimeFolder();

} // namespace vexilo
