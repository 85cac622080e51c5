#pragma once

#include "holidays/HolidayImport.h"

#include <QString>

#include <array>
#include <optional>
#include <vector>

namespace vexilo {

class Platform;
class PrazdnikiStore;

// «Импорт праздников…»: asks for a calendar file (iCalendar or a production calendar, told
// apart by content), starting in `startFolder`; empty when the user cancels.
QString askHolidayFile(Platform &platform, const QString &startFolder);

// Reads the calendar file at `path`, asks whether every year of it is wanted when a year is
// shown and the file holds others, and merges its marks into the store's live entries. Nothing
// is written. A file that cannot be read, or gives no day, is explained in a message; the result
// is then empty, as it is when the user declines. Years in ascending order.
std::vector<ImportedYear> askAndImportHolidays(Platform &platform, PrazdnikiStore &store,
                                               const std::array<qint32, 13> &DniMesyaca,
                                               const QString &path,
                                               std::optional<qint32> shownYear);

} // namespace vexilo
