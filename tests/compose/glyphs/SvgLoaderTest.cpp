// Hostile drawings through the real loader, its process included: each one fails the load at
// its file, like a damaged picture, and nothing else goes down with it.
#include "compose/glyphs/SvgLoader.h"
#include "compose/glyphs/GlyphSet.h"
#include "support/PrintTools.h"
#include "support/TempAppFolder.h"

#include <QDir>
#include <QtEndian>

#include <gtest/gtest.h>
#include <zlib.h>

using namespace vexilo;

namespace {

const QByteArray kHead = "<svg xmlns='http://www.w3.org/2000/svg' "
                         "xmlns:xlink='http://www.w3.org/1999/xlink' width='13' height='32'>";

QByteArray svg(const QByteArray &body)
{
    return kHead + body + "</svg>";
}

// A 16000 x 16000 PNG of one bit per pixel, a few kilobytes that decode to a gigabyte.
QByteArray hugePng()
{
    constexpr quint32 kSide = 16000;
    const QByteArray row(int(kSide / 8 + 1), '\0');
    z_stream zip{};
    deflateInit(&zip, 9);
    QByteArray idat(1 << 20, '\0');
    zip.next_out = reinterpret_cast<Bytef *>(idat.data());
    zip.avail_out = uInt(idat.size());
    for (quint32 y = 0; y < kSide; ++y) {
        zip.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(row.constData()));
        zip.avail_in = uInt(row.size());
        deflate(&zip, y + 1 == kSide ? Z_FINISH : Z_NO_FLUSH);
    }
    idat.truncate(qsizetype(zip.total_out));
    deflateEnd(&zip);
    const auto chunk = [](const char *type, const QByteArray &data) {
        QByteArray out(4, '\0');
        qToBigEndian(quint32(data.size()), out.data());
        const QByteArray body = QByteArray(type) + data;
        QByteArray crc(4, '\0');
        qToBigEndian(
            quint32(crc32(0, reinterpret_cast<const Bytef *>(body.constData()), uInt(body.size()))),
            crc.data());
        return out + body + crc;
    };
    QByteArray header(13, '\0');
    qToBigEndian(kSide, header.data());
    qToBigEndian(kSide, header.data() + 4);
    header[8] = 1; // bit depth; colour type 0, grey
    return QByteArray("\x89PNG\r\n\x1a\n") + chunk("IHDR", header) + chunk("IDAT", idat) +
           chunk("IEND", {});
}

QByteArray nested(const QByteArray &open, const QByteArray &inner, const QByteArray &close,
                  int depth)
{
    return open.repeated(depth) + inner + close.repeated(depth);
}

// Ten uses of the level below, seven levels deep: 10^7 rectangles.
QByteArray useFanOut()
{
    QByteArray defs = "<defs><rect id='u0' width='1' height='1'/>";
    for (int level = 1; level <= 7; ++level) {
        defs += "<g id='u" + QByteArray::number(level) + "'>";
        for (int i = 0; i < 10; ++i)
            defs += "<use xlink:href='#u" + QByteArray::number(level - 1) + "'/>";
        defs += "</g>";
    }
    return svg(defs + "</defs><use xlink:href='#u7'/>");
}

QByteArray nthChildRules()
{
    QByteArray rules;
    for (int i = 0; i < 10000; ++i)
        rules += "rect:nth-child(" + QByteArray::number(i + 2) + "n+" + QByteArray::number(i) +
                 "){fill:#" + QByteArray::number(i % 0xFFFFFF, 16).rightJustified(6, '0') + "}";
    return svg("<style>" + rules + "</style>" +
               QByteArray("<rect width='1' height='1'/>").repeated(2000));
}

QByteArray longPath(qsizetype bytes)
{
    const QByteArray step = " L3 7 L9 21 L12 4 L1 30";
    return svg("<path d='M0 0" + step.repeated(bytes / step.size()) + "'/>");
}

struct Hostile
{
    const char *what;
    QByteArray drawing;
    int digit; // the file it replaces
};

} // namespace

TEST(SvgLoader, HostileDrawingsFailTheLoadAtTheirFileAndTheProgramLivesOn)
{
    const QByteArray entity(100000, 'x');
    const std::vector<Hostile> cases = {
        {"text so large librsvg asserts", svg("<text font-size='1e7' y='20'>0</text>"), 0},
        {"selector nested 5000 deep",
         svg("<style>" + nested("rect:not(", "rect", ")", 5000) +
             "{fill:red}</style><rect width='5' height='5'/>"),
         0},
        {"an entity of 100 kB used 3000 times",
         "<?xml version='1.0'?><!DOCTYPE svg [<!ENTITY e '" + entity + "'>]>" +
             svg("<text y='20'>" + QByteArray("&e;").repeated(3000) + "</text>"),
         0},
        // Ten times the hostile files' sizes, so that no machine draws them within the limits.
        {"a text of 50000 letters", svg("<text y='20'>" + QByteArray(50000, '0') + "</text>"), 3},
        {"turbulence of a million octaves",
         svg("<filter id='f'><feTurbulence baseFrequency='0.05' numOctaves='1000000'/></filter>"
             "<rect width='13' height='32' filter='url(#f)'/>"),
         0},
        {"a path of 2 MiB", longPath(qsizetype(2) << 20), 0},
        {"use fan-out of 10^7", useFanOut(), 0},
        {"10000 nth-child rules over 2000 elements", nthChildRules(), 0},
        {"a 16000 x 16000 data: PNG",
         svg("<image width='13' height='32' xlink:href='data:image/png;base64," +
             hugePng().toBase64() + "'/>"),
         0},
    };
    // Tight limits keep the table short; the program's own are a few times larger.
    SvgLoadLimits limits;
    limits.deadlineMs = 1200;
    limits.cpuSeconds = 1;
    limits.memoryMb = 512;
    for (const Hostile &c : cases) {
        SCOPED_TRACE(c.what);
        test::TempAppFolder app;
        const QString folder = test::writeSvgGlyphs(app);
        app.write(QStringLiteral("svgset/%1.svg").arg(c.digit), c.drawing);
        const GlyphLoad images = readGlyphImages(folder, false, limits);
        EXPECT_FALSE(images.complete);
        EXPECT_EQ(images.failedFile, QStringLiteral("%1.svg").arg(c.digit));
        // The holders read before the file stay, as for a damaged picture.
        EXPECT_EQ(images.digits.size(), std::size_t(c.digit));
        EXPECT_EQ(images.vectorDigits.size(), std::size_t(c.digit));
    }
}

TEST(SvgLoader, AnswersOutOfBoundsAreRefusedAndShortOnesAwaited)
{
    const auto answer = [](double width, double height, qint32 pixelsWide, int variants = 2) {
        QByteArray bytes;
        const auto put = [&bytes](const auto value) {
            bytes.append(reinterpret_cast<const char *>(&value), sizeof value);
        };
        put(quint32(1));
        put(width);
        put(height);
        put(1.0);
        for (int variant = 0; variant < variants; ++variant) {
            put(pixelsWide);
            put(qint32(2));
            bytes.append(QByteArray(pixelsWide * 2 * 4, '\0'));
            put(quint32(3));
            bytes.append("abc");
        }
        return bytes;
    };
    struct Case
    {
        const char *what;
        QByteArray bytes;
        bool glyph;
        bool waits;
        std::uint32_t asked = wire::kPlainAndHoliday; // the variants sent
    };
    const QByteArray good = answer(2, 2, 2);
    for (const Case &c : {Case{"a good answer", good, true, false},
                          Case{"half of it", good.left(good.size() / 2), false, true},
                          Case{"pixels of another size", answer(2, 2, 3), false, false},
                          Case{"a box too large", answer(5000, 2, 2), false, false},
                          Case{"no size", answer(std::nan(""), 2, 2), false, false},
                          Case{"refused", QByteArray("\2\0\0\0", 4), false, false},
                          // Each variant asked for is read and checked; no fewer, no more.
                          Case{"a title, plain only", answer(2, 2, 2, 1), true, false, 1},
                          Case{"five asked, two sent", good, false, true, 31},
                          Case{"pale asked, plain missing", good, false, false, 4}}) {
        SCOPED_TRACE(c.what);
        std::size_t used = 0;
        const auto drawn = decodeLoaderAnswer(c.bytes.constData(), std::size_t(c.bytes.size()), 1.0,
                                              1.0, used, c.asked);
        EXPECT_EQ(drawn.has_value(), c.glyph);
        EXPECT_EQ(used == 0, c.waits);
    }
}
