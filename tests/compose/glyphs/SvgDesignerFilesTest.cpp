#include "compose/tints/SvgTint.h"

#include "compose/SvgRender.h"
#include "compose/tints/HolidayTint.h"

#include <QFile>

#include <gtest/gtest.h>

#include <cstdlib>

using namespace vexilo;
using vexilo::test::mixColours;
using vexilo::test::renderWithRsvg;

namespace {

QRgb holidayRed(QRgb colour)
{
    static const HolidayTint tint;
    return tint.recolour(colour);
}

// A point whose right colour is known: flat (from == to) or a fraction t into a gradient.
struct Probe
{
    QPoint at;
    QRgb from;
    QRgb to;
    double t;
    int alpha;
};

Probe flat(int x, int y, QRgb colour, int alpha = 255)
{
    return {{x, y}, colour, colour, 0.0, alpha};
}

Probe background(int x, int y)
{
    return flat(x, y, 0, 0);
}

struct DesignerFile
{
    const char *name;
    QSize size; // one pixel per user unit
    std::vector<Probe> probes;
};

const QRgb kWhite = qRgb(255, 255, 255);

const std::vector<DesignerFile> &designerFiles()
{
    static const std::vector<DesignerFile> files = {
        {"illustrator.svg",
         {100, 100},
         {flat(25, 50, qRgb(0xe3, 0x06, 0x13)), flat(75, 25, kWhite),
          flat(75, 75, qRgb(0x1d, 0x1d, 0x1b)), flat(75, 92, qRgb(0x1d, 0x71, 0xb8)),
          background(75, 60)}},
        {"inkscape-mm.svg",
         {210, 297},
         {flat(50, 70, qRgb(0x2a, 0x7f, 0xff)), flat(155, 75, qRgb(0, 0, 0)),
          flat(120, 75, qRgb(0, 128, 0)), flat(150, 230, qRgb(0xff, 0x66, 0x00), 128),
          background(50, 250)}},
        {"nested-transforms.svg",
         {100, 100},
         {flat(60, 10, qRgb(0, 128, 0)), flat(90, 90, qRgb(128, 0, 128)),
          flat(15, 65, qRgb(0xff, 0x80, 0)), background(40, 40), background(75, 10)}},
        {"gradients.svg",
         {100, 100},
         {flat(10, 25, qRgb(0x20, 0x40, 0x80)),
          flat(90, 25, qRgb(0xc0, 0xe0, 0x20)),
          {{50, 25}, qRgb(0x20, 0x40, 0x80), qRgb(0xc0, 0xe0, 0x20), 0.51, 255},
          flat(50, 75, kWhite),
          flat(65, 75, kWhite),
          flat(5, 75, qRgb(128, 0, 0)),
          flat(50, 98, qRgb(128, 0, 0))}},
        {"clip-path.svg",
         {100, 100},
         {flat(25, 25, qRgb(0, 0x66, 0xcc)), background(75, 25), flat(25, 75, qRgb(0x99, 0x66, 0)),
          background(2, 52)}},
        {"text-as-paths.svg",
         {100, 100},
         {background(25, 50), flat(9, 50, qRgb(0x1b, 0x35, 0x5e)),
          flat(25, 17, qRgb(0x1b, 0x35, 0x5e)), flat(75, 50, qRgb(0x1b, 0x35, 0x5e)),
          background(65, 50)}},
        {"size-pt.svg", {40, 60}, {flat(20, 30, qRgb(0x33, 0x33, 0x33))}},
        {"size-in.svg", {40, 60}, {flat(20, 30, qRgb(0x33, 0x33, 0x33))}},
        {"size-viewbox-only.svg", {30, 45}, {flat(15, 22, qRgb(0x33, 0x33, 0x33))}},
    };
    return files;
}

// The probe's colour, plain or through `recolour`, is what the canvas shows there.
void expectProbe(const QImage &image, const Probe &probe, QRgb (*recolour)(QRgb))
{
    SCOPED_TRACE(::testing::Message() << "at " << probe.at.x() << "," << probe.at.y());
    const QRgb pixel = image.pixel(probe.at);
    EXPECT_NEAR(qAlpha(pixel), probe.alpha, 1);
    if (probe.alpha == 0)
        return;
    const QRgb expected = mixColours(recolour(probe.from), recolour(probe.to), probe.t);
    // A gradient's middle and a half-transparent colour are known to a few steps.
    const int tolerance = (probe.t > 0.0 ? 3 : 0) + (probe.alpha == 255 ? 0 : 2);
    const QRgb seen = qUnpremultiply(pixel);
    EXPECT_NEAR(qRed(seen), qRed(expected), tolerance);
    EXPECT_NEAR(qGreen(seen), qGreen(expected), tolerance);
    EXPECT_NEAR(qBlue(seen), qBlue(expected), tolerance);
}

QRgb unchanged(QRgb colour)
{
    return colour;
}

TEST(SvgDesignerFiles, DrawRightPlainAndInHolidayRed)
{
    for (const DesignerFile &file : designerFiles()) {
        SCOPED_TRACE(file.name);
        QFile in(QStringLiteral(VEXILO_TEST_DATA "/svg/") + QString::fromUtf8(file.name));
        ASSERT_TRUE(in.open(QIODevice::ReadOnly));
        const QByteArray svg = in.readAll();
        const QByteArray tinted = tintSvgColours(svg, holidayRed);
        ASSERT_FALSE(tinted.isEmpty());
        const QImage plainImage = renderWithRsvg(svg, file.size.width(), file.size.height());
        const QImage tintedImage = renderWithRsvg(tinted, file.size.width(), file.size.height());
        ASSERT_FALSE(plainImage.isNull());
        ASSERT_FALSE(tintedImage.isNull());
        for (const Probe &probe : file.probes) {
            expectProbe(plainImage, probe, unchanged);
            expectProbe(tintedImage, probe, holidayRed);
        }
    }
}

} // namespace
