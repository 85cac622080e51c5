#pragma once

#include <QFont>
#include <QString>
#include <QStringList>

#include <array>

namespace vexilo {

// The program's name, also the caption of message boxes that pass none of their own.
inline QString applicationTitle()
{
    return QStringLiteral("Создатель календарей Vexilo");
}

// January .. December, as every month list of the program shows them.
inline const QStringList &monthNames()
{
    static const QStringList names = {
        QStringLiteral("Январь"),  QStringLiteral("Февраль"), QStringLiteral("Март"),
        QStringLiteral("Апрель"),  QStringLiteral("Май"),     QStringLiteral("Июнь"),
        QStringLiteral("Июль"),    QStringLiteral("Август"),  QStringLiteral("Сентябрь"),
        QStringLiteral("Октябрь"), QStringLiteral("Ноябрь"),  QStringLiteral("Декабрь")};
    return names;
}

// The weekdays' short names, Monday first: the glyph files' names and the holiday editor's
// column.
inline const std::array<QString, 7> &weekdayNames()
{
    static const std::array<QString, 7> names = {
        QStringLiteral("Пн"), QStringLiteral("Вт"), QStringLiteral("Ср"), QStringLiteral("Чт"),
        QStringLiteral("Пт"), QStringLiteral("Сб"), QStringLiteral("Вс")};
    return names;
}

// The windows' font: a sans serif with Arial's metrics, 12 points bold unless asked otherwise.
inline QFont designFont(qreal points = 12, bool bold = true)
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

} // namespace vexilo
