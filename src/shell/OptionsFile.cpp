#include "OptionsFile.h"

#include "common/NumberText.h"
#include "common/Text1251.h"

#include <QStringList>

#include <cmath>
#include <limits>
#include <optional>

namespace vexilo {

namespace {

// A whole 32-bit number on the line, or nothing.
std::optional<qint32> lineNumber(QStringView line)
{
    const std::optional<double> value = numberAtStart(line);
    if (!value)
        return std::nullopt;
    return toInt32(roundHalfEven(*value));
}

bool fitsTheFile(const QString &folder)
{
    if (folder.contains(QLatin1Char('\r')) || folder.contains(QLatin1Char('\n')))
        return false;
    return fromWindows1251(toWindows1251(folder)) == folder;
}

qint32 inRange(qint32 n, qint32 highest, qint32 fallback)
{
    return n < 0 || n > highest ? fallback : n;
}

} // namespace

qint32 boxNumber(QStringView text)
{
    const double value = roundHalfEven(readNumber(text));
    if (std::isnan(value))
        return 0;
    if (value <= static_cast<double>(std::numeric_limits<qint32>::min()))
        return std::numeric_limits<qint32>::min();
    if (value >= static_cast<double>(std::numeric_limits<qint32>::max()))
        return std::numeric_limits<qint32>::max();
    return static_cast<qint32>(value);
}

QByteArray optionsFileContent(const OptionsValues &values)
{
    QStringList lines;
    lines << settingsNumber(values.XYMesyac);
    for (const qint32 n : values.Rassttoyanie)
        lines << settingsNumber(n);
    // A name written as "?" or split over two lines would come back as another folder.
    lines << (fitsTheFile(values.PapkaKartinok) ? values.PapkaKartinok : QString());
    lines << settingsNumber(values.KolMesyacev) << settingsNumber(values.Mesyac)
          << settingsNumber(values.ProverkaRazmerov);
    return textFileContent(lines);
}

OptionsValues readOptionsFile(const QByteArray &bytes, const OptionsValues &current)
{
    const QStringList lines = textFileLines(bytes.left(kOptionsReadLimit));
    qsizetype next = 0;
    qint32 last = 0;
    // The number of the next line, or the last one read when the line is missing or damaged.
    auto readNext = [&]() -> std::optional<qint32> {
        if (next >= lines.size())
            return std::nullopt;
        const std::optional<qint32> n = lineNumber(lines[next++]);
        if (n)
            last = *n;
        return n;
    };

    OptionsValues values = current;
    readNext();
    values.XYMesyac = inRange(last, 3, kDefaultXYMesyac);
    for (qint32 &spacing : values.Rassttoyanie) {
        readNext();
        spacing = last;
    }
    if (next < lines.size())
        values.PapkaKartinok = lines[next++];
    readNext();
    values.KolMesyacev = inRange(last, 1, kDefaultKolMesyacev);
    readNext();
    values.Mesyac = inRange(last, 11, kDefaultMesyac);
    if (const std::optional<qint32> n = readNext())
        values.ProverkaRazmerov = *n;
    return values;
}

} // namespace vexilo
