#include "SvgTint.h"

namespace vexilo {

QByteArray tintSvgColours(const QByteArray &svg, const std::function<QRgb(QRgb)> &recolour)
{
    Q_UNUSED(recolour);
    return svg;
}

} // namespace vexilo
