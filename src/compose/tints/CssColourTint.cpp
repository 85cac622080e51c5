#include "CssColourTint.h"

#include <QColor>

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

namespace vexilo {

namespace {

bool isIdentStart(QChar c)
{
    return c.isLetter() || c == u'_' || c == u'-' || c.unicode() >= 0x80;
}

bool isIdentChar(QChar c)
{
    return isIdentStart(c) || c.isDigit();
}

bool isHexDigit(QChar c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

qsizetype identEnd(QStringView text, qsizetype i)
{
    while (i < text.size() && (isIdentChar(text[i]) || text[i] == u'\\')) {
        // An escape takes the next character with it.
        i += text[i] == u'\\' ? 2 : 1;
    }
    return std::min(i, text.size());
}

// The index after a string that starts at i (an unclosed string runs to the end).
qsizetype stringEnd(QStringView text, qsizetype i)
{
    const QChar quote = text[i];
    for (++i; i < text.size(); ++i) {
        if (text[i] == u'\\')
            ++i;
        else if (text[i] == quote)
            return i + 1;
    }
    return text.size();
}

bool isCommentStart(QStringView text, qsizetype i)
{
    return text[i] == u'/' && i + 1 < text.size() && text[i + 1] == u'*';
}

qsizetype commentEnd(QStringView text, qsizetype i)
{
    const qsizetype end = text.indexOf(u"*/", i + 2);
    return end < 0 ? text.size() : end + 2;
}

// The index after the ')' that closes the '(' at i, skipping strings and nested brackets.
qsizetype blockEnd(QStringView text, qsizetype i)
{
    int depth = 0;
    while (i < text.size()) {
        const QChar c = text[i];
        if (c == u'"' || c == u'\'') {
            i = stringEnd(text, i);
            continue;
        }
        if (c == u'(')
            ++depth;
        else if (c == u')' && --depth == 0)
            return i + 1;
        ++i;
    }
    return text.size();
}

QString hexOf(QRgb colour)
{
    return QString::asprintf("#%02x%02x%02x", qRed(colour), qGreen(colour), qBlue(colour));
}

int hexValue(QChar c)
{
    return QStringView(&c, 1).toInt(nullptr, 16);
}

// #rgb, #rgba, #rrggbb or #rrggbbaa (digits without the '#'), tinted with the alpha kept.
QString tintHex(QStringView digits, const Recolour &recolour)
{
    const bool shortForm = digits.size() <= 4;
    const auto channel = [&](int index) {
        return shortForm ? hexValue(digits[index]) * 17
                         : digits.mid(index * 2, 2).toInt(nullptr, 16);
    };
    const QRgb tinted = recolour(qRgb(channel(0), channel(1), channel(2)));
    QString out = hexOf(tinted);
    if (digits.size() == 4)
        out += QString::asprintf("%02x", channel(3));
    else if (digits.size() == 8)
        out += digits.mid(6, 2);
    return out;
}

// A number with an optional '%' (and, for hues, an optional "deg"); nullopt when it is
// anything else, such as calc() or var().
std::optional<double> readNumber(QStringView token, bool *percent)
{
    *percent = token.endsWith(u'%');
    if (*percent)
        token.chop(1);
    else if (token.endsWith(u"deg", Qt::CaseInsensitive))
        token.chop(3);
    bool ok = false;
    const double value = token.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

int channelFromUnit(double unit)
{
    return static_cast<int>(std::clamp(std::round(unit * 255.0), 0.0, 255.0));
}

// The CSS hsl() conversion: hue in degrees, saturation and lightness 0..1.
QRgb rgbFromHsl(double hue, double saturation, double lightness)
{
    hue = std::fmod(std::fmod(hue, 360.0) + 360.0, 360.0) / 360.0;
    saturation = std::clamp(saturation, 0.0, 1.0);
    lightness = std::clamp(lightness, 0.0, 1.0);
    const double m2 = lightness <= 0.5 ? lightness * (saturation + 1.0)
                                       : lightness + saturation - lightness * saturation;
    const double m1 = lightness * 2.0 - m2;
    const auto hueToRgb = [&](double h) {
        if (h < 0.0)
            h += 1.0;
        if (h > 1.0)
            h -= 1.0;
        if (h * 6.0 < 1.0)
            return m1 + (m2 - m1) * h * 6.0;
        if (h * 2.0 < 1.0)
            return m2;
        if (h * 3.0 < 2.0)
            return m1 + (m2 - m1) * (2.0 / 3.0 - h) * 6.0;
        return m1;
    };
    return qRgb(channelFromUnit(hueToRgb(hue + 1.0 / 3.0)), channelFromUnit(hueToRgb(hue)),
                channelFromUnit(hueToRgb(hue - 1.0 / 3.0)));
}

// rgb(), rgba(), hsl() or hsla() with its arguments, tinted; nullopt when unreadable.
std::optional<QString> tintColourFunction(QStringView name, QStringView args,
                                          const Recolour &recolour)
{
    const QString lower = name.toString().toLower();
    const bool hsl = lower == u"hsl" || lower == u"hsla";
    if (!hsl && lower != u"rgb" && lower != u"rgba")
        return std::nullopt;
    // Commas, spaces and the slash before alpha all separate the arguments.
    QList<QStringView> tokens;
    qsizetype start = -1;
    for (qsizetype i = 0; i <= args.size(); ++i) {
        const bool separator =
            i == args.size() || args[i].isSpace() || args[i] == u',' || args[i] == u'/';
        if (separator && start >= 0) {
            tokens.append(args.mid(start, i - start));
            start = -1;
        } else if (!separator && start < 0) {
            start = i;
        }
    }
    if (tokens.size() != 3 && tokens.size() != 4)
        return std::nullopt;
    std::array<double, 3> values{};
    std::array<bool, 3> percents{};
    for (std::size_t k = 0; k < 3; ++k) {
        const auto value = readNumber(tokens[static_cast<qsizetype>(k)], &percents[k]);
        if (!value)
            return std::nullopt;
        values[k] = *value;
    }
    bool alphaPercent = false;
    if (tokens.size() == 4 && !readNumber(tokens[3], &alphaPercent))
        return std::nullopt;
    QRgb colour = 0;
    if (hsl) {
        const double s = percents[1] ? values[1] / 100.0 : values[1];
        const double l = percents[2] ? values[2] / 100.0 : values[2];
        colour = rgbFromHsl(values[0], s, l);
    } else {
        std::array<int, 3> channels{};
        for (std::size_t k = 0; k < 3; ++k)
            channels[k] = channelFromUnit(percents[k] ? values[k] / 100.0 : values[k] / 255.0);
        colour = qRgb(channels[0], channels[1], channels[2]);
    }
    const QRgb tinted = recolour(colour);
    if (tokens.size() == 3)
        return hexOf(tinted);
    return QString::asprintf("rgba(%d,%d,%d,", qRed(tinted), qGreen(tinted), qBlue(tinted)) +
           tokens[3].toString() + u')';
}

// A lone word: an SVG colour keyword is tinted, every other word (none, transparent,
// currentColor, inherit, !important's "important") stays.
QString tintKeyword(QStringView word, const Recolour &recolour)
{
    const bool lettersOnly = std::all_of(
        word.begin(), word.end(), [](QChar c) { return c.isLetter() && c.unicode() < 0x80; });
    if (!lettersOnly || word.compare(u"transparent", Qt::CaseInsensitive) == 0 ||
        !QColor::isValidColorName(word))
        return word.toString();
    return hexOf(recolour(QColor::fromString(word).rgb()));
}

constexpr std::array<QStringView, 6> kPaintedProperties = {
    u"fill", u"stroke", u"stop-color", u"flood-color", u"lighting-color", u"color"};

// The index of the ';' or '}' that ends a declaration value starting at i (or the end).
qsizetype valueEnd(QStringView css, qsizetype i)
{
    while (i < css.size()) {
        const QChar c = css[i];
        if (c == u';' || c == u'}')
            return i;
        if (c == u'"' || c == u'\'')
            i = stringEnd(css, i);
        else if (isCommentStart(css, i))
            i = commentEnd(css, i);
        else if (c == u'(')
            i = blockEnd(css, i);
        else
            ++i;
    }
    return i;
}

} // namespace

bool isPaintedColourProperty(QStringView name, Qt::CaseSensitivity cs)
{
    return std::any_of(kPaintedProperties.begin(), kPaintedProperties.end(),
                       [&](QStringView property) { return name.compare(property, cs) == 0; });
}

QString tintColourValue(QStringView value, const Recolour &recolour)
{
    QString out;
    out.reserve(value.size() + 8);
    qsizetype i = 0;
    while (i < value.size()) {
        const QChar c = value[i];
        qsizetype next = i + 1;
        if (c == u'"' || c == u'\'') {
            next = stringEnd(value, i);
        } else if (isCommentStart(value, i)) {
            next = commentEnd(value, i);
        } else if (c == u'#') {
            qsizetype end = i + 1;
            while (end < value.size() && isHexDigit(value[end]))
                ++end;
            const qsizetype digits = end - i - 1;
            const bool whole = end == value.size() || !isIdentChar(value[end]);
            if (whole && (digits == 3 || digits == 4 || digits == 6 || digits == 8)) {
                out += tintHex(value.mid(i + 1, digits), recolour);
                i = end;
                continue;
            }
            next = identEnd(value, end);
        } else if (c.isDigit() || c == u'.' ||
                   (c == u'-' && next < value.size() &&
                    (value[next].isDigit() || value[next] == u'.'))) {
            // A number and its unit: "10px" holds no colour word.
            while (next < value.size() && (isIdentChar(value[next]) || value[next] == u'.'))
                ++next;
        } else if (isIdentStart(c) || c == u'\\') {
            const qsizetype end = identEnd(value, i);
            const QStringView word = value.mid(i, end - i);
            if (end < value.size() && value[end] == u'(') {
                next = blockEnd(value, end);
                const qsizetype argsLength = std::max<qsizetype>(0, next - end - 2);
                const auto tinted =
                    tintColourFunction(word, value.mid(end + 1, argsLength), recolour);
                if (tinted && value[next - 1] == u')') {
                    out += *tinted;
                    i = next;
                    continue;
                }
            } else {
                out += tintKeyword(word, recolour);
                i = end;
                continue;
            }
        }
        out += value.mid(i, next - i);
        i = next;
    }
    return out;
}

QString tintCssColours(QStringView css, const Recolour &recolour,
                       const std::function<void(QStringView, QStringView)> &seen)
{
    QString out;
    out.reserve(css.size() + 16);
    bool declarationStart = true;
    qsizetype i = 0;
    while (i < css.size()) {
        const QChar c = css[i];
        qsizetype next = i + 1;
        if (isCommentStart(css, i)) {
            next = commentEnd(css, i);
        } else if (c.isSpace()) {
            // Spaces between declarations keep the position a property may start at.
        } else if (c == u'{' || c == u';' || c == u'}') {
            declarationStart = true;
        } else if (c == u'"' || c == u'\'') {
            next = stringEnd(css, i);
            declarationStart = false;
        } else if (declarationStart && isIdentStart(c)) {
            next = identEnd(css, i);
            const QStringView name = css.mid(i, next - i);
            qsizetype colon = next;
            while (colon < css.size() && css[colon].isSpace())
                ++colon;
            if (colon < css.size() && css[colon] == u':' &&
                isPaintedColourProperty(name, Qt::CaseInsensitive)) {
                const qsizetype end = valueEnd(css, colon + 1);
                const QStringView value = css.mid(colon + 1, end - colon - 1);
                if (seen)
                    seen(name, value.trimmed());
                out += css.mid(i, colon + 1 - i);
                out += tintColourValue(value, recolour);
                i = end;
                declarationStart = false;
                continue;
            }
            declarationStart = false;
        } else {
            declarationStart = false;
        }
        out += css.mid(i, next - i);
        i = next;
    }
    return out;
}

} // namespace vexilo
