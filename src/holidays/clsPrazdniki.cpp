#include "clsPrazdniki.h"

namespace vexilo {

bool clsPrazdniki::Add(qint32 M, qint32 D)
{
    if (!inRange(M, D))
        return false;
    auto &cell = Otmetki[static_cast<std::size_t>(M)][static_cast<std::size_t>(D)];
    cell = 1 - cell;
    return true;
}

bool clsPrazdniki::AddPrazdnik(qint32 M, qint32 D)
{
    if (!inRange(M, D))
        return false;
    Otmetki[static_cast<std::size_t>(M)][static_cast<std::size_t>(D)] = 1;
    return true;
}

std::optional<qint32> clsPrazdniki::List(qint32 M, qint32 D) const
{
    if (!inRange(M, D))
        return std::nullopt;
    return Otmetki[static_cast<std::size_t>(M)][static_cast<std::size_t>(D)];
}

} // namespace vexilo
