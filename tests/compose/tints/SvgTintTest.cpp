#include "compose/tints/SvgTint.h"

#include "compose/SvgRender.h"
#include "compose/tints/HolidayTint.h"

#include <QFile>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

#include <cstdlib>

using namespace vexilo;
using vexilo::test::renderWithRsvg;

namespace {

QRgb holidayRed(QRgb colour)
{
    static const HolidayTint tint;
    return tint.recolour(colour);
}

QByteArray document(const char *body)
{
    return QByteArray(
               R"svg(<svg xmlns="http://www.w3.org/2000/svg" )svg"
               R"svg(xmlns:xlink="http://www.w3.org/1999/xlink" width="20" height="20">)svg") +
           body + "</svg>";
}

// Channels of two colours differ by at most `tolerance`.
bool near(QRgb a, QRgb b, int tolerance)
{
    return std::abs(qRed(a) - qRed(b)) <= tolerance &&
           std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

struct ColourCase
{
    const char *name;
    const char *body;
    QPoint probe;
    QRgb original; // the colour drawn there without the tint
    int alpha;     // its opacity, 0..255
};

// Shapes cover the probe with one flat colour.
const ColourCase kColourCases[] = {
    {"keyword",
     R"svg(<rect width="20" height="20" fill="navy"/>)svg",
     {5, 10},
     qRgb(0, 0, 128),
     255},
    {"keyword in capitals",
     R"svg(<rect width="20" height="20" fill="DarkSlateGray"/>)svg",
     {5, 10},
     qRgb(47, 79, 79),
     255},
    {"short hex",
     R"svg(<rect width="20" height="20" fill="#c63"/>)svg",
     {5, 10},
     qRgb(0xcc, 0x66, 0x33),
     255},
    {"long hex",
     R"svg(<rect width="20" height="20" fill="#1B355E"/>)svg",
     {5, 10},
     qRgb(0x1b, 0x35, 0x5e),
     255},
    {"rgb numbers",
     R"svg(<rect width="20" height="20" fill="rgb(10, 200, 30)"/>)svg",
     {5, 10},
     qRgb(10, 200, 30),
     255},
    {"rgb percentages",
     R"svg(<rect width="20" height="20" fill="rgb(20%,40%,60%)"/>)svg",
     {5, 10},
     qRgb(51, 102, 153),
     255},
    {"rgba keeps alpha",
     R"svg(<rect width="20" height="20" fill="rgba(0, 0, 255, 0.5)"/>)svg",
     {5, 10},
     qRgb(0, 0, 255),
     128},
    {"rgb with spaces and a slash",
     R"svg(<rect width="20" height="20" fill="rgb(0 0 255 / 50%)"/>)svg",
     {5, 10},
     qRgb(0, 0, 255),
     128},
    {"hex with alpha",
     R"svg(<rect width="20" height="20" fill="#00ff0080"/>)svg",
     {5, 10},
     qRgb(0, 255, 0),
     128},
    {"hsl",
     R"svg(<rect width="20" height="20" fill="hsl(0, 100%, 40%)"/>)svg",
     {5, 10},
     qRgb(204, 0, 0),
     255},
    {"hsla keeps alpha",
     R"svg(<rect width="20" height="20" fill="hsla(240, 100%, 50%, 0.25)"/>)svg",
     {5, 10},
     qRgb(0, 0, 255),
     64},
    {"stroke",
     R"svg(<rect x="2" y="2" width="16" height="16" fill="none" stroke="green" stroke-width="8"/>)svg",
     {1, 10},
     qRgb(0, 128, 0),
     255},
    {"unnamed fill is black",
     R"svg(<rect width="20" height="20"/>)svg",
     {5, 10},
     qRgb(0, 0, 0),
     255},
    {"group fill inherited",
     R"svg(<g fill="#0a0"><rect width="20" height="20"/></g>)svg",
     {5, 10},
     qRgb(0, 0xaa, 0),
     255},
    {"style attribute",
     R"svg(<rect width="20" height="20" style="stroke:none; fill : #336699 !important"/>)svg",
     {5, 10},
     qRgb(0x33, 0x66, 0x99),
     255},
    {"class in a CDATA sheet",
     R"svg(<style><![CDATA[ .st0{fill:#E30613;} ]]></style><rect class="st0" width="20" height="20"/>)svg",
     {5, 10},
     qRgb(0xe3, 0x06, 0x13),
     255},
    {"id in a text sheet",
     R"svg(<style>/* fill: blue */ #a { fill: rgb(0,128,128) }</style><rect id="a" width="20" height="20"/>)svg",
     {5, 10},
     qRgb(0, 128, 128),
     255},
    {"element in a sheet",
     R"svg(<style>rect{fill:olive}</style><rect width="20" height="20"/>)svg",
     {5, 10},
     qRgb(128, 128, 0),
     255},
    {"currentColor follows color",
     R"svg(<g color="purple"><rect width="20" height="20" fill="currentColor"/></g>)svg",
     {5, 10},
     qRgb(128, 0, 128),
     255},
    {"currentColor of the initial color",
     R"svg(<rect width="20" height="20" fill="currentColor"/>)svg",
     {5, 10},
     qRgb(0, 0, 0),
     255},
    {"color in a style attribute",
     R"svg(<g style="color:#804000"><rect width="20" height="20" fill="currentColor"/></g>)svg",
     {5, 10},
     qRgb(0x80, 0x40, 0),
     255},
    {"gradient stops",
     R"svg(<linearGradient id="g"><stop offset="0" stop-color="#204080"/><stop offset="1" style="stop-color:#204080"/></linearGradient><rect width="20" height="20" fill="url(#g)"/>)svg",
     {5, 10},
     qRgb(0x20, 0x40, 0x80),
     255},
    {"stops without a colour are black",
     R"svg(<linearGradient id="g"><stop offset="0"/><stop offset="1"/></linearGradient><rect width="20" height="20" fill="url(#g)"/>)svg",
     {5, 10},
     qRgb(0, 0, 0),
     255},
    {"stop opacity kept",
     R"svg(<linearGradient id="g"><stop offset="0" stop-color="teal" stop-opacity="0.5"/><stop offset="1" stop-color="teal" stop-opacity="0.5"/></linearGradient><rect width="20" height="20" fill="url(#g)"/>)svg",
     {5, 10},
     qRgb(0, 128, 128),
     128},
    {"flood",
     R"svg(<filter id="f" x="0" y="0" width="1" height="1"><feFlood flood-color="maroon"/></filter><rect width="20" height="20" filter="url(#f)"/>)svg",
     {5, 10},
     qRgb(128, 0, 0),
     255},
    {"fallback after a missing paint server",
     R"svg(<rect width="20" height="20" fill="url(#missing) olive"/>)svg",
     {5, 10},
     qRgb(128, 128, 0),
     255},
    {"white stays white",
     R"svg(<rect width="20" height="20" fill="#FFF"/>)svg",
     {5, 10},
     qRgb(255, 255, 255),
     255},
    {"fill opacity kept",
     R"svg(<rect width="20" height="20" fill="red" fill-opacity="0.25"/>)svg",
     {5, 10},
     qRgb(255, 0, 0),
     64},
    {"transparent stays",
     R"svg(<rect width="20" height="20" fill="transparent"/>)svg",
     {5, 10},
     qRgb(0, 0, 0),
     0},
    {"none stays",
     R"svg(<rect width="20" height="20" fill="none" stroke="none"/>)svg",
     {5, 10},
     qRgb(0, 0, 0),
     0},
    {"mask shows",
     R"svg(<mask id="m"><rect width="20" height="20" fill="white"/><rect x="10" width="10" height="20"/></mask><rect width="20" height="20" fill="blue" mask="url(#m)"/>)svg",
     {5, 10},
     qRgb(0, 0, 255),
     255},
    {"mask hides with its own black",
     R"svg(<mask id="m"><rect width="20" height="20" fill="white"/><rect x="10" width="10" height="20"/></mask><rect width="20" height="20" fill="blue" mask="url(#m)"/>)svg",
     {15, 10},
     qRgb(0, 0, 0),
     0},
    {"mask hides with an inherited colour",
     R"svg(<g fill="black"><mask id="m"><rect width="10" height="20" fill="white"/><rect x="10" width="10" height="20"/></mask></g><rect width="20" height="20" fill="blue" mask="url(#m)"/>)svg",
     {15, 10},
     qRgb(0, 0, 0),
     0},
};

TEST(SvgTint, EveryPaintedColourTakesTheHolidayRed)
{
    for (const ColourCase &test : kColourCases) {
        SCOPED_TRACE(test.name);
        const QByteArray plainSvg = document(test.body);
        const QByteArray tintedSvg = tintSvgColours(plainSvg, holidayRed);
        ASSERT_FALSE(tintedSvg.isEmpty());
        const QImage plain = renderWithRsvg(plainSvg, 20, 20);
        const QImage tinted = renderWithRsvg(tintedSvg, 20, 20);
        ASSERT_FALSE(plain.isNull());
        ASSERT_FALSE(tinted.isNull()) << tintedSvg.constData();
        const QRgb before = plain.pixel(test.probe);
        const QRgb after = tinted.pixel(test.probe);
        EXPECT_NEAR(qAlpha(before), test.alpha, 1);
        EXPECT_EQ(qAlpha(after), qAlpha(before)) << tintedSvg.constData();
        if (test.alpha == 0)
            continue;
        // Premultiplied channels lose precision as alpha falls.
        const int tolerance = test.alpha == 255 ? 0 : 255 / test.alpha + 1;
        EXPECT_TRUE(near(qUnpremultiply(before), test.original, tolerance))
            << std::hex << qUnpremultiply(before);
        EXPECT_TRUE(near(qUnpremultiply(after), holidayRed(test.original), tolerance))
            << std::hex << qUnpremultiply(after) << " for " << holidayRed(test.original) << "\n"
            << tintedSvg.constData();
    }
}

TEST(SvgTint, RefusesWhatIsNotASaneDocument)
{
    const QByteArray deep = QByteArray("<svg xmlns=\"http://www.w3.org/2000/svg\">") +
                            QByteArray("<g>").repeated(300) + QByteArray("</g>").repeated(300) +
                            "</svg>";
    const QByteArray laughs =
        R"svg(<!DOCTYPE svg [<!ENTITY a "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa">)svg"
        R"svg(<!ENTITY b "&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;"><!ENTITY c "&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;">)svg"
        R"svg(<!ENTITY d "&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;"><!ENTITY e "&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;">)svg"
        R"svg(]><svg xmlns="http://www.w3.org/2000/svg"><text>&e;</text></svg>)svg";
    const struct
    {
        const char *name;
        QByteArray svg;
    } cases[] = {
        {"empty", QByteArray()},
        {"not XML", QByteArray("\x89PNG\r\n\x1a\n", 8)},
        {"unclosed element", R"svg(<svg xmlns="http://www.w3.org/2000/svg"><rect fill="red">)svg"},
        {"crossed elements",
         R"svg(<svg xmlns="http://www.w3.org/2000/svg"><g><a></g></a></svg>)svg"},
        {"undeclared entity", R"svg(<svg xmlns="http://www.w3.org/2000/svg">&nbsp;</svg>)svg"},
        {"undeclared prefix", R"svg(<svg xmlns="http://www.w3.org/2000/svg"><x:g/></svg>)svg"},
        {"two roots", R"svg(<svg xmlns="http://www.w3.org/2000/svg"/><svg/>)svg"},
        {"unresolved entity as a namespace",
         R"svg(<!DOCTYPE svg SYSTEM "svg11.dtd"><svg xmlns="http://www.w3.org/2000/svg" xmlns:xlink="&ns_xlink;"/>)svg"},
        {"nested too deep", deep},
        {"entities expanding without end", laughs},
    };
    for (const auto &test : cases) {
        SCOPED_TRACE(test.name);
        EXPECT_TRUE(tintSvgColours(test.svg, holidayRed).isEmpty());
    }
    // Just inside the depth limit is still a drawing.
    const QByteArray deepest = QByteArray("<svg xmlns=\"http://www.w3.org/2000/svg\">") +
                               QByteArray("<g>").repeated(255) + QByteArray("</g>").repeated(255) +
                               "</svg>";
    EXPECT_FALSE(tintSvgColours(deepest, holidayRed).isEmpty());
}

TEST(SvgTint, KeepsWhatTheRendererNeedsBesideTheColours)
{
    const QByteArray svg = R"svg(<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE svg [<!ENTITY ns_svg "http://www.w3.org/2000/svg">]>
<svg xmlns="&ns_svg;" xmlns:xlink="http://www.w3.org/1999/xlink"
     xmlns:inkscape="http://www.inkscape.org/namespaces/inkscape" xml:space="preserve"
     inkscape:version="1.2" width="20" height="20">
  <style><![CDATA[.a > rect{fill:red}]]></style>
  <g id="layer1" inkscape:label="Слой 1" fill-opacity="0.5"><rect id="r" width="4" height="4"/></g>
  <use xlink:href="#r" x="10"/>
  <!-- a comment -->
</svg>)svg";
    const QString tinted = QString::fromUtf8(tintSvgColours(svg, holidayRed));
    const char *kept[] = {
        R"svg(<svg xmlns="http://www.w3.org/2000/svg")svg",
        R"svg(xmlns:xlink="http://www.w3.org/1999/xlink")svg",
        R"svg(xml:space="preserve")svg",
        R"svg(inkscape:label="Слой 1")svg",
        R"svg(id="layer1")svg",
        R"svg(fill-opacity="0.5")svg",
        R"svg(<use xlink:href="#r" x="10"/>)svg",
        "<![CDATA[.a > rect{fill:#ff5252}]]>",
        "<!-- a comment -->",
    };
    for (const char *text : kept)
        EXPECT_TRUE(tinted.contains(QString::fromUtf8(text))) << text << "\n"
                                                              << tinted.toStdString();
    EXPECT_FALSE(tinted.contains(u"DOCTYPE"));
}

TEST(SvgTint, NeverReadsAFileAnEntityNames)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    QFile secret(folder.filePath(QStringLiteral("secret.txt")));
    ASSERT_TRUE(secret.open(QIODevice::WriteOnly));
    secret.write("not for the drawing");
    secret.close();
    const QByteArray url = QUrl::fromLocalFile(secret.fileName()).toEncoded();
    const QByteArray svg =
        "<!DOCTYPE svg [<!ENTITY x SYSTEM \"" + url +
        "\">]>"
        R"svg(<svg xmlns="http://www.w3.org/2000/svg"><text>&x;</text></svg>)svg";
    EXPECT_FALSE(tintSvgColours(svg, holidayRed).contains("not for the drawing"));
}

} // namespace
