#include "Declare.h"

namespace vexilo {

void fillMonthLengths(std::array<qint32, 13> &DniMesyaca)
{
    DniMesyaca = {0, 31, DniMesyaca[2], 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
}

} // namespace vexilo
