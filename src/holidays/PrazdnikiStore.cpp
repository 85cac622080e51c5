#include "PrazdnikiStore.h"

namespace vexilo {

PrazdnikiStore::PrazdnikiStore()
{
    empty();
}

void PrazdnikiStore::empty()
{
    m_slots.clear();
    m_slots.resize(1);
    m_kolGodov = -1;
}

void PrazdnikiStore::append()
{
    ++m_kolGodov;
    if (m_slots.size() < static_cast<std::size_t>(m_kolGodov) + 1)
        m_slots.resize(static_cast<std::size_t>(m_kolGodov) + 1);
}

clsPrazdniki *PrazdnikiStore::entry(qint32 i)
{
    if (i < 0 || static_cast<std::size_t>(i) >= m_slots.size())
        return nullptr;
    auto &slot = m_slots[static_cast<std::size_t>(i)];
    if (!slot)
        slot = std::make_unique<clsPrazdniki>();
    return slot.get();
}

const clsPrazdniki *PrazdnikiStore::entry(qint32 i) const
{
    if (i < 0 || static_cast<std::size_t>(i) >= m_slots.size())
        return nullptr;
    static const clsPrazdniki kEmpty;
    const auto &slot = m_slots[static_cast<std::size_t>(i)];
    return slot ? slot.get() : &kEmpty;
}

qint32 PrazdnikiStore::NaytiGod(qint32 Y) const
{
    for (qint32 i = 0; i <= m_kolGodov; ++i) {
        const clsPrazdniki *year = entry(i);
        if (year->DelGod == 0 && year->God == Y)
            return i;
    }
    return -1;
}

} // namespace vexilo
