// The holiday tint of SVG documents on any bytes: either nothing, or a well-formed document of
// bounded depth without a DOCTYPE that the tint reads again; the CSS scanner on the same bytes.
#include "FuzzCheck.h"

#include "compose/tints/CssColourTint.h"
#include "compose/tints/HolidayTint.h"
#include "compose/tints/SvgTint.h"

#include <QXmlStreamReader>

#include <cstddef>
#include <cstdint>

using namespace vexilo;

namespace {

QRgb holidayRed(QRgb colour)
{
    static const HolidayTint tint;
    return tint.recolour(colour);
}

void checkDocument(const QByteArray &tinted)
{
    QXmlStreamReader reader(tinted);
    int depth = 0;
    while (!reader.atEnd()) {
        const auto token = reader.readNext();
        FUZZ_CHECK(token != QXmlStreamReader::DTD);
        if (token == QXmlStreamReader::StartElement)
            FUZZ_CHECK(++depth <= 256);
        else if (token == QXmlStreamReader::EndElement)
            --depth;
    }
    FUZZ_CHECK(!reader.hasError());
    FUZZ_CHECK(!tintSvgColours(tinted, holidayRed).isEmpty());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const QByteArray tinted = tintSvgColours(bytes, holidayRed);
    if (!tinted.isEmpty())
        checkDocument(tinted);
    const QString text = QString::fromUtf8(bytes);
    const QString sheet = tintCssColours(text, holidayRed);
    // Every character of the sheet outside its colours is kept, so it never shrinks to nothing.
    FUZZ_CHECK(text.isEmpty() == sheet.isEmpty());
    tintColourValue(text, holidayRed);
    return 0;
}
