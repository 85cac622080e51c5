#pragma once

#include "common/SafeFile.h"

#include <QStringList>

class QTextStream;

namespace vexilo {

// Exit statuses of the glyph-set maker.
enum GlyphsStatus { GlyphsOk = 0, GlyphsFailed = 1, GlyphsUsage = 2 };

// Runs `vexilo-glyphs` with its arguments (the program name first): draws the set from the
// font and writes it. What was written goes to `out`, messages to `err`. Needs a
// QGuiApplication for the fonts; `writeOptions` lets a test inject write faults.
int runGlyphs(const QStringList &arguments, QTextStream &out, QTextStream &err,
              const SafeWriteOptions &writeOptions = {});

} // namespace vexilo
