#include "SvgGlyphWriter.h"

#include <QPointF>
#include <QXmlStreamWriter>

#include <cmath>

namespace vexilo {

namespace {

// A coordinate with at most two decimals and no trailing zeros; never "-0".
QString coordinate(qreal value)
{
    const qreal rounded = std::round(value * 100.0) / 100.0;
    QString text = QString::number(rounded == 0.0 ? 0.0 : rounded, 'f', 2);
    while (text.endsWith(u'0'))
        text.chop(1);
    if (text.endsWith(u'.'))
        text.chop(1);
    return text;
}

QString point(qreal x, qreal y)
{
    return coordinate(x) + u' ' + coordinate(y);
}

bool hasCurve(const QPainterPath &path)
{
    for (int i = 0; i < path.elementCount(); ++i)
        if (path.elementAt(i).type == QPainterPath::CurveToElement)
            return true;
    return false;
}

// The path's elements as SVG path data: every subpath starts with M, lines are L and Qt's
// cubic curves (a CurveTo followed by two CurveToData points) are C. An outline of straight
// edges only («П», «Н», «Т» of a sans font) gets its first line as a cubic along it: cairo's
// script surface, which records drawings for PDF and SVG output, refuses a fill whose edges
// are all horizontal or vertical unless it is one rectangle.
QString pathData(const QPainterPath &path)
{
    QStringList parts;
    bool straightOnly = !hasCurve(path);
    QPointF last;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element element = path.elementAt(i);
        switch (element.type) {
        case QPainterPath::MoveToElement:
            parts.append(u'M' + point(element.x, element.y));
            last = element;
            break;
        case QPainterPath::LineToElement:
            if (straightOnly) {
                parts.append(u'C' + point(last.x(), last.y()) + u' ' + point(element.x, element.y) +
                             u' ' + point(element.x, element.y));
                straightOnly = false;
            } else {
                parts.append(u'L' + point(element.x, element.y));
            }
            last = element;
            break;
        case QPainterPath::CurveToElement:
            if (i + 2 < path.elementCount()) {
                const QPainterPath::Element second = path.elementAt(i + 1);
                const QPainterPath::Element end = path.elementAt(i + 2);
                parts.append(u'C' + point(element.x, element.y) + u' ' + point(second.x, second.y) +
                             u' ' + point(end.x, end.y));
                i += 2;
            }
            break;
        case QPainterPath::CurveToDataElement:
            break; // consumed with its CurveTo
        }
    }
    return parts.join(u' ');
}

} // namespace

QByteArray encodeSvgGlyph(const QPainterPath &outline, QSize box, const QColor &ink)
{
    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("svg"));
    xml.writeDefaultNamespace(QStringLiteral("http://www.w3.org/2000/svg"));
    xml.writeAttribute(QStringLiteral("width"), QStringLiteral("%1px").arg(box.width()));
    xml.writeAttribute(QStringLiteral("height"), QStringLiteral("%1px").arg(box.height()));
    xml.writeAttribute(QStringLiteral("viewBox"),
                       QStringLiteral("0 0 %1 %2").arg(box.width()).arg(box.height()));
    if (!outline.isEmpty()) {
        xml.writeEmptyElement(QStringLiteral("path"));
        xml.writeAttribute(QStringLiteral("fill"), ink.name(QColor::HexRgb));
        xml.writeAttribute(QStringLiteral("fill-rule"), outline.fillRule() == Qt::WindingFill
                                                            ? QStringLiteral("nonzero")
                                                            : QStringLiteral("evenodd"));
        xml.writeAttribute(QStringLiteral("d"), pathData(outline));
    }
    xml.writeEndElement();
    xml.writeEndDocument();
    return bytes;
}

} // namespace vexilo
