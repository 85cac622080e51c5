#pragma once

#include "common/SafeFile.h"

#include <QString>

namespace vexilo {

class Platform;

// The two boxes of a failed save of "Options.ini" or "Праздники.dat", with no caption of their
// own: first the system's description of the error, then "Файл «path» защищён от записи." or
// "Файл «path» сохранить не возможно.". Nothing for a save that worked.
void reportSaveFailure(Platform &platform, const QString &path, const SafeWriteResult &result);

// Tells once that a file not read whole was kept as `copy` before it was saved over.
// Any other failed write (a sheet, a glyph set): the same two lines in one box.
void reportWriteFailure(Platform &platform, const SafeWriteResult &result,
                        WrittenThing thing = WrittenThing::File);

void reportBackupCopy(Platform &platform, const QString &path, const QString &copy);

} // namespace vexilo
