#pragma once

#include <QtGlobal>

#include <array>
#include <optional>

namespace vexilo {

// One year of holiday marks: months 0..12 by days 0..31, each mark 0 or 1.
class clsPrazdniki
{
public:
    static constexpr qint32 kMaxMonth = 12;
    static constexpr qint32 kMaxDay = 31;

    qint32 God = 0;
    qint32 DelGod = 0; // 1 once the user removed the year in the editor

    // Each returns false (and changes nothing) for a month or day out of range.
    [[nodiscard]] bool Add(qint32 M, qint32 D);         // toggles the mark
    [[nodiscard]] bool AddPrazdnik(qint32 M, qint32 D); // sets the mark
    [[nodiscard]] std::optional<qint32> List(qint32 M, qint32 D) const;

    // List for a date the caller knows to be in range; 0 outside.
    qint32 mark(qint32 M, qint32 D) const { return List(M, D).value_or(0); }

    static bool inRange(qint32 M, qint32 D)
    {
        return M >= 0 && M <= kMaxMonth && D >= 0 && D <= kMaxDay;
    }

private:
    std::array<std::array<qint32, kMaxDay + 1>, kMaxMonth + 1> Otmetki{};
};

} // namespace vexilo
