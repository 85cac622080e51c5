#pragma once

#include "compose/SheetOutput.h"

namespace vexilo {

// Choices kept for the user beyond "Options.ini" (whose lines never change): how sheets are
// saved as PNG or PDF and printed. Kept with QSettings in the user's configuration folder.
OutputOptions loadOutputOptions();
void saveOutputOptions(const OutputOptions &options);

} // namespace vexilo
