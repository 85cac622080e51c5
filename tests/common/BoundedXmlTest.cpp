#include "common/BoundedXml.h"
#include "compose/tints/SvgTint.h"
#include "holidays/ProductionCalendar.h"

#include <gtest/gtest.h>

using namespace vexilo;

namespace {

QByteArray repeated(const QByteArray &pattern, int times)
{
    QByteArray out;
    for (int i = 0; i < times; ++i)
        out += QByteArray(pattern).replace("N", QByteArray::number(i));
    return out;
}

// The same markup as a production calendar and as a drawing, after the same prologue.
QByteArray asCalendar(const QByteArray &prologue, const QByteArray &inside)
{
    return prologue + "<calendar year=\"2025\"><days><day d=\"01.01\" t=\"1\"/>" + inside +
           "</days></calendar>";
}

QByteArray asDrawing(const QByteArray &prologue, const QByteArray &inside)
{
    return prologue + "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"4\" height=\"4\">" +
           inside + "</svg>";
}

} // namespace

// Files made to keep the XML reader busy for minutes are refused in one pass with a message;
// what design programs and calendars really hold is read as before.
TEST(BoundedXml, HostileMarkupIsRefusedAndRealMarkupIsRead)
{
    const QByteArray bigValue(4000, 'x');
    struct Case
    {
        const char *name;
        QByteArray prologue;
        QByteArray inside;
        const char *says; // empty: read
    };
    const std::vector<Case> cases = {
        {"100 000 attributes on one element",
         {},
         "<day d=\"01.02\" t=\"2\"" + repeated(" aN=\"\"", 100000) + "/>",
         "больше 256 атрибутов"},
        {"as many as the tint allows", {}, "<g" + repeated(" aN=\"=>\"", 254) + "/>", ""},
        {"namespaces declared over and over",
         {},
         repeated("<g" + repeated(" xmlns:pN=\"urn:N\"", 200) + "/>", 2),
         "пространств имён"},
        {"an entity holding markup", "<!DOCTYPE c [<!ENTITY e \"<day d='01.05' t='1'/>\">]>", "&e;",
         "содержит разметку"},
        {"a character reference that becomes markup", "<!DOCTYPE c [<!ENTITY e \"&#60;g/>\">]>",
         "&e;", "содержит разметку"},
        {"attributes declared in the DTD", "<!DOCTYPE c [<!ATTLIST g a CDATA \"1\">]>", "<g/>",
         "объявляет атрибуты"},
        {"parameter entities", "<!DOCTYPE c [<!ENTITY % p \"x\"> %p;]>", {}, "параметрические"},
        {"entities used past a megabyte", "<!DOCTYPE c [<!ENTITY e \"" + bigValue + "\">]>",
         "<g>" + repeated("&e;", 300) + "</g>", "разворачиваются"},
        {"entities nested past a megabyte",
         "<!DOCTYPE c [<!ENTITY a \"&b;&b;&b;&b;\"><!ENTITY b \"" + bigValue + "\">]>",
         "<g n=\"" + repeated("&a;", 70) + "\"/>", "разворачиваются"},
        {"an encoding nobody has",
         "<?xml version=\"1.0\" encoding=\"x-none\"?>",
         {},
         "не поддерживается"},
        {"a design program's DTD",
         "<!DOCTYPE svg PUBLIC \"-//W3C//DTD SVG 1.1//EN\" \"http://www.w3.org/Graphics/SVG/1.1/"
         "DTD/svg11.dtd\" [<!ENTITY ns_flows \"http://ns.adobe.com/Flows/1.0/\"><!ENTITY st0 "
         "\"fill:#231F20;\">]>",
         "<g style=\"&st0;\" xmlns:x=\"&ns_flows;\"/>", ""},
        {"equals signs in comments and text",
         {},
         "<!--" + repeated(" a=\"\"", 1000) + "-->" + repeated("<g>a=b</g>", 1000),
         ""},
    };
    for (const Case &c : cases) {
        const QString says = QString::fromUtf8(c.says);
        const QByteArray calendar = asCalendar(c.prologue, c.inside);
        const BoundedXml bounded = boundedXml(calendar);
        EXPECT_EQ(bounded.problem.isEmpty(), says.isEmpty()) << c.name;
        EXPECT_TRUE(bounded.problem.contains(says))
            << c.name << ": " << bounded.problem.toStdString();

        const auto read = readProductionXml(calendar, QStringLiteral("k.xml"));
        if (says.isEmpty()) {
            ASSERT_TRUE(std::holds_alternative<HolidayMarks>(read)) << c.name;
            EXPECT_EQ(std::get<HolidayMarks>(read).at(2025).daysOff.count({1, 1}), 1u) << c.name;
        } else {
            ASSERT_TRUE(std::holds_alternative<QString>(read)) << c.name;
            EXPECT_TRUE(std::get<QString>(read).contains(QStringLiteral("«k.xml» повреждён")))
                << c.name;
        }
        const QByteArray tinted =
            tintSvgColours(asDrawing(c.prologue, c.inside), [](QRgb colour) { return colour; });
        EXPECT_EQ(tinted.isEmpty(), !says.isEmpty()) << c.name;
    }
}
