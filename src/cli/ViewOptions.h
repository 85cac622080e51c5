#pragma once

#include "compose/sheet/CalendarView.h"

#include <QString>
#include <QStringList>

#include <variant>

class QCommandLineParser;

namespace vexilo {

struct RenderOptions;

// What is drawn: the year and month of the described sheets and the view around them.
struct ViewRequest
{
    qint64 year = 0;
    qint32 month = 0; // 1..12 for a month sheet, 0 for a year or a period
    int perRowIndex = 2;
    CalendarView view{};
};

// The arguments with each bare "--month-titles" given its value: the following left, centre or
// right, else centre. The parser knows no options whose value may be left out.
QStringList withMonthTitleValues(const QStringList &arguments, const RenderOptions &options);

// Adds the period, page and layout options to what -y, -m and -r asked for; a usage reason
// when they cannot be drawn or contradict each other.
std::variant<ViewRequest, QString> readView(const QCommandLineParser &parser,
                                            const RenderOptions &options, ViewRequest described);

// The file name when none is given: календарь-2027, календарь-2027-03, календарь-2026-09-12м,
// and "-квартальный" after it for a quarterly calendar.
QString defaultSheetName(const ViewRequest &request);

} // namespace vexilo
