#include "NumberText.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace vexilo {

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Beyond this many significant characters the value is certainly out of any range we use;
// keeping the buffer bounded keeps the reader linear on absurd input.
constexpr std::size_t kMaxKept = 400;

} // namespace

double readNumber(QStringView text)
{
    return numberAtStart(text).value_or(0.0);
}

std::optional<double> numberAtStart(QStringView text)
{
    std::string buffer;
    qsizetype i = 0;
    const qsizetype n = text.size();
    auto skipBlanks = [&] {
        while (i < n && isBlank(text[i]))
            ++i;
    };

    skipBlanks();
    bool negative = false;
    if (i < n && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }
    std::size_t integerDigits = 0;
    bool sawDot = false;
    bool sawDigit = false;
    for (; i < n; ++i) {
        const QChar c = text[i];
        if (isBlank(c))
            continue;
        if (isDigit(c)) {
            sawDigit = true;
            if (!sawDot) {
                if (buffer.empty() && c == u'0')
                    continue; // leading zeros carry nothing
                ++integerDigits;
            }
            if (buffer.size() < kMaxKept)
                buffer.push_back(static_cast<char>(c.unicode()));
            continue;
        }
        if (c == u'.' && !sawDot) {
            sawDot = true;
            if (buffer.size() < kMaxKept)
                buffer.push_back('.');
            continue;
        }
        break;
    }
    if (!sawDigit)
        return std::nullopt;
    if (integerDigits > kMaxKept / 2)
        return negative ? -std::numeric_limits<double>::infinity()
                        : std::numeric_limits<double>::infinity();
    if (buffer.empty() || buffer == ".")
        return 0.0;
    if (buffer.front() == '.')
        buffer.insert(buffer.begin(), '0');

    double value = 0.0;
    const auto [ptr, ec] = std::from_chars(buffer.data(), buffer.data() + buffer.size(), value);
    if (ec == std::errc::result_out_of_range)
        value = integerDigits > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    else if (ec != std::errc())
        value = 0.0;
    return negative ? -value : value;
}

double roundHalfEven(double value)
{
    // Plain arithmetic rather than the floating-point environment: this runs per pixel when
    // a glyph set is tinted.
    if (!std::isfinite(value) || std::fabs(value) >= 4503599627370496.0) // 2^52: whole already
        return value;
    double rounded = std::floor(value + 0.5);
    if (rounded - value == 0.5 && std::fmod(rounded, 2.0) != 0.0)
        rounded -= 1.0;
    return rounded;
}

std::optional<qint32> toInt32(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    if (value < static_cast<double>(std::numeric_limits<qint32>::min()) ||
        value > static_cast<double>(std::numeric_limits<qint32>::max()))
        return std::nullopt;
    return static_cast<qint32>(value);
}

std::optional<qint32> wholeNumber(QStringView text)
{
    return toInt32(roundHalfEven(readNumber(text)));
}

QString settingsNumber(qint64 value)
{
    return value < 0 ? QString::number(value) : QLatin1Char(' ') + QString::number(value);
}

} // namespace vexilo
