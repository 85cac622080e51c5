// The production calendar readers on any bytes: a message naming the file, or years of the
// program's range whose days are real dates, working weekend days only Saturdays and Sundays
// and never days off as well.
#include "FuzzCheck.h"

#include "common/CalendarMath.h"
#include "holidays/ProductionCalendar.h"

#include <QDate>

#include <cstddef>
#include <cstdint>

using namespace vexilo;

namespace {

void checkRead(const std::variant<HolidayMarks, QString> &read)
{
    if (const auto *message = std::get_if<QString>(&read)) {
        FUZZ_CHECK(message->contains(QStringLiteral("«f»")));
        return;
    }
    const HolidayMarks &marks = std::get<HolidayMarks>(read);
    FUZZ_CHECK(!marks.empty());
    for (const auto &[year, days] : marks) {
        FUZZ_CHECK(isCalendarYear(year));
        for (const auto &[month, day] : days.daysOff)
            FUZZ_CHECK(QDate::isValid(year, month, day));
        for (const auto &[month, day] : days.workingWeekend) {
            FUZZ_CHECK(QDate::isValid(year, month, day));
            FUZZ_CHECK(QDate(year, month, day).dayOfWeek() >= Qt::Saturday);
            FUZZ_CHECK(days.daysOff.count({month, day}) == 0);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    checkRead(readProductionXml(bytes, QStringLiteral("f")));
    checkRead(readProductionCsv(bytes, QStringLiteral("f")));
    return 0;
}
