#include "Declare.h"

#include "common/CalendarMath.h"

namespace vexilo {

void fillMonthLengths(std::array<qint32, 13> &DniMesyaca)
{
    const qint32 february = DniMesyaca[2];
    DniMesyaca = monthLengthsOf(1);
    DniMesyaca[2] = february;
}

} // namespace vexilo
