#pragma once

#include <QRgb>
#include <QString>
#include <QStringView>

#include <functional>

namespace vexilo {

using Recolour = std::function<QRgb(QRgb)>;

// True for the properties whose value is a colour the drawing paints: fill, stroke,
// stop-color, flood-color, lighting-color and color. Presentation attributes are matched
// case-sensitively, CSS properties not.
bool isPaintedColourProperty(QStringView name, Qt::CaseSensitivity cs);

// One property value with each colour in it passed through `recolour`: SVG colour keywords,
// #rgb, #rgba, #rrggbb, #rrggbbaa, rgb(), rgba(), hsl(), hsla(). Keywords that are no colour
// (none, transparent, inherit, currentColor), url() references and every alpha stay as
// written; a colour that cannot be read is kept as it is.
QString tintColourValue(QStringView value, const Recolour &recolour);

// CSS text (a style attribute or a <style> sheet) with the values of the painted colour
// properties tinted and everything else kept byte for byte. `seen`, when given, hears each
// painted colour declaration as written (name and value, before tinting).
QString tintCssColours(QStringView css, const Recolour &recolour,
                       const std::function<void(QStringView, QStringView)> &seen = {});

} // namespace vexilo
