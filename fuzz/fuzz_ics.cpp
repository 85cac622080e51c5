// The calendar reader on any bytes: it answers with days inside the years asked for or with a
// message naming the file, reads its own outline of the file the same way, and leaves
// libical's global error mode as it found it.
#include "FuzzCheck.h"

#include "holidays/IcsImport.h"
#include "holidays/IcsOutline.h"

#include <QDate>

#include <libical/ical.h>

#include <cstddef>
#include <cstdint>

using namespace vexilo;

namespace {

// A few years around the present keep each input quick; the rules are still followed from
// wherever they start.
const IcsOptions kOptions{2020, 2030, 2025};

void checkDays(const IcsDays &days)
{
    for (const auto &[year, yearDays] : days) {
        FUZZ_CHECK(year >= kOptions.firstYear && year <= kOptions.lastYear);
        FUZZ_CHECK(!yearDays.empty());
        for (const auto &[month, day] : yearDays)
            FUZZ_CHECK(QDate(year, month, day).isValid());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const QString name = QStringLiteral("f.ics");
    const int fatal = icalerror_get_errors_are_fatal();
    const auto result = readIcs(bytes, name, kOptions);
    FUZZ_CHECK(icalerror_get_errors_are_fatal() == fatal);
    if (const auto *message = std::get_if<QString>(&result)) {
        FUZZ_CHECK(message->contains(QStringLiteral("«f.ics»")));
        return 0;
    }
    const IcsDays &days = std::get<IcsDays>(result);
    checkDays(days);

    const auto outline = outlineIcs(bytes);
    FUZZ_CHECK(std::holds_alternative<QByteArray>(outline));
    const auto again = readIcs(std::get<QByteArray>(outline), name, kOptions);
    FUZZ_CHECK(std::holds_alternative<IcsDays>(again));
    FUZZ_CHECK(std::get<IcsDays>(again) == days);
    return 0;
}
