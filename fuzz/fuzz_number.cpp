// The number reader on any text, taken both as UTF-8 and as raw UTF-16.
#include "FuzzCheck.h"

#include "common/NumberText.h"
#include "shell/OptionsFile.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

using namespace vexilo;

namespace {

// Blanks, an optional sign and up to 15 digits, nothing else: a double holds it exactly.
bool plainInteger(QStringView text, long long &value)
{
    std::string ascii;
    for (const QChar c : text) {
        if (c.unicode() > 0x7F)
            return false;
        ascii.push_back(static_cast<char>(c.unicode()));
    }
    const std::size_t first = ascii.find_first_not_of(' ');
    if (first == std::string::npos)
        return false;
    std::size_t at = first;
    if (ascii[at] == '-' || ascii[at] == '+')
        ++at;
    const std::size_t digits = ascii.size() - at;
    if (digits == 0 || digits > 15 ||
        ascii.find_first_not_of("0123456789", at) != std::string::npos)
        return false;
    value = std::strtoll(ascii.c_str() + first, nullptr, 10);
    return true;
}

void check(QStringView text)
{
    const double read = readNumber(text);
    FUZZ_CHECK(!std::isnan(read));

    long long plain = 0;
    if (plainInteger(text, plain))
        FUZZ_CHECK(read == static_cast<double>(plain));

    const std::optional<qint32> whole = wholeNumber(text);
    const qint32 box = boxNumber(text);
    if (whole) {
        FUZZ_CHECK(std::fabs(read - *whole) <= 0.5);
        FUZZ_CHECK(box == *whole);
        // The settings file writes the number and reads it back unchanged.
        FUZZ_CHECK(wholeNumber(settingsNumber(*whole)) == whole);
    } else {
        // Too large for 32 bits: the box stands for the nearest end of the range.
        FUZZ_CHECK(std::fabs(read) > 2147483647.0);
        FUZZ_CHECK(box == (read > 0 ? std::numeric_limits<qint32>::max()
                                    : std::numeric_limits<qint32>::min()));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    check(QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size)));
    // Copied, not cast: the input need not be aligned for 16-bit units.
    std::u16string units(size / 2, u'\0');
    std::memcpy(units.data(), data, units.size() * 2);
    check(QStringView(units));
    return 0;
}
