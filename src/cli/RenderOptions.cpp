#include "RenderOptions.h"

#include "common/CalendarMath.h"
#include "compose/output/SheetOutput.h"
#include "compose/sheet/CalendarView.h"

namespace vexilo {

namespace {

QCommandLineOption option(const QStringList &names, const QString &description,
                          const QString &valueName = {}, const QString &defaultValue = {})
{
    return QCommandLineOption(names, description, valueName, defaultValue);
}

} // namespace

QString renderProgramName()
{
    return QStringLiteral("vexilo-render");
}

RenderOptions::RenderOptions()
    : glyphs(option({QStringLiteral("g"), QStringLiteral("glyphs")},
                    QStringLiteral("Папка набора картинок, любой путь (по умолчанию первый полный "
                                   "набор, сначала наборы пользователя)."),
                    QStringLiteral("ПАПКА"))),
      year(option(
          {QStringLiteral("y"), QStringLiteral("year")},
          QStringLiteral("Год, %1..%2 (по умолчанию текущий).").arg(kFirstYear).arg(kLastYear),
          QStringLiteral("N"))),
      month(option({QStringLiteral("m"), QStringLiteral("month")},
                   QStringLiteral("1..12: лист этого месяца; без параметра — весь год."),
                   QStringLiteral("N"))),
      perRow(option({QStringLiteral("r"), QStringLiteral("per-row")},
                    QStringLiteral("Месяцев в ряд: 1, 2, 3, 4 или 6 (по умолчанию 4); 1 — "
                                   "месяцы одним столбцом."),
                    QStringLiteral("N"))),
      datesX(option({QStringLiteral("dates-x")},
                    QStringLiteral("Расстояние между столбцами недель (по умолчанию 10)."),
                    QStringLiteral("N"), QStringLiteral("10"))),
      datesY(option({QStringLiteral("dates-y")},
                    QStringLiteral("Расстояние между строками дней недели (по умолчанию 5)."),
                    QStringLiteral("N"), QStringLiteral("5"))),
      monthsX(
          option({QStringLiteral("months-x")},
                 QStringLiteral("Расстояние от названий дней недели до месяцев (по умолчанию 20)."),
                 QStringLiteral("N"), QStringLiteral("20"))),
      monthsY(option({QStringLiteral("months-y")},
                     QStringLiteral("Расстояние между рядами месяцев (по умолчанию 20)."),
                     QStringLiteral("N"), QStringLiteral("20"))),
      digitsX(option({QStringLiteral("digits-x")},
                     QStringLiteral("Расстояние между двумя цифрами числа (по умолчанию 3)."),
                     QStringLiteral("N"), QStringLiteral("3"))),
      sizeCheck(option(
          {QStringLiteral("size-check")},
          QStringLiteral("Загрузить только «0.gif» и «Пн.gif», чтобы проверить размер листа."))),
      holidays(option({QStringLiteral("holidays")},
                      QStringLiteral("Праздники в формате «Праздники.dat» (по умолчанию "
                                     "«Праздники.dat» программы, если он есть)."),
                      QStringLiteral("ФАЙЛ"))),
      ics(option({QStringLiteral("ics")},
                 QStringLiteral("Отметить праздниками события на весь день из файла iCalendar; "
                                "можно несколько раз."),
                 QStringLiteral("ФАЙЛ"))),
      imports(option({QStringLiteral("import")},
                     QStringLiteral("Файл производственного календаря или .ics; можно несколько "
                                    "раз."),
                     QStringLiteral("ФАЙЛ"))),
      out(option({QStringLiteral("o"), QStringLiteral("out")},
                 QStringLiteral("Имя файла; расширение отбрасывается, ряды называются ИМЯ_ряд1 …, "
                                "страницы — ИМЯ_стр1 …, ряды страниц — ИМЯ_стр1_ряд1 … "
                                "(по умолчанию календарь-ГОД или календарь-ГОД-ММ)."),
                 QStringLiteral("ИМЯ"))),
      format(option({QStringLiteral("format")},
                    QStringLiteral("bmp, png, pdf или svg (по умолчанию bmp). PDF — страница на "
                                   "каждую страницу календаря, SVG — рисунок на страницу; из "
                                   "набора SVG оба векторные."),
                    QStringLiteral("bmp|png|pdf|svg"), QStringLiteral("bmp"))),
      whole(option({QStringLiteral("whole")},
                   QStringLiteral("Один файл на весь лист (ИМЯ.bmp или ИМЯ.png) вместо файла на "
                                  "каждый ряд месяцев."))),
      dpi(option({QStringLiteral("dpi")},
                 QStringLiteral("Разрешение, %1..%2 (по умолчанию %3). Для набора GIF — сколько "
                                "точек листа на дюйм при печати; для набора SVG — сколько точек "
                                "получат BMP и PNG (размер листа при печати тот же).")
                     .arg(kMinDpi)
                     .arg(kMaxDpi)
                     .arg(kDefaultDpi),
                 QStringLiteral("N"), QString::number(kDefaultDpi))),
      paper(option({QStringLiteral("paper")},
                   QStringLiteral("Бумага PDF: %1 (по умолчанию A4).").arg(paperChoices()),
                   QStringLiteral("ИМЯ"), QStringLiteral("A4"))),
      margin(option({QStringLiteral("margin")},
                    QStringLiteral("Поля страницы PDF со всех сторон, %1..%2 мм (по умолчанию "
                                   "%3); больший лист уменьшается, чтобы поместиться между ними.")
                        .arg(kMinMarginMm)
                        .arg(kMaxMarginMm)
                        .arg(kDefaultMarginMm),
                    QStringLiteral("MM"), QString::number(kDefaultMarginMm))),
      portrait(option({QStringLiteral("portrait")},
                      QStringLiteral("Книжная страница PDF. Без --portrait и --landscape "
                                     "страница поворачивается по листу: альбомная, когда лист "
                                     "шире своей высоты."))),
      landscape(option({QStringLiteral("landscape")}, QStringLiteral("Альбомная страница PDF."))),
      transparent(option({QStringLiteral("transparent")},
                         QStringLiteral("Прозрачный фон: рисуется только то, где у картинок "
                                        "есть краска. Не для bmp."))),
      help(helpOption()), version(versionOption()),
      from(option({QStringLiteral("from")},
                  QStringLiteral("Первый месяц периода, например 2026-09 (не вместе с -y и -m)."),
                  QStringLiteral("ГГГГ-ММ"))),
      months(option({QStringLiteral("months")},
                    QStringLiteral("Месяцев в периоде, 1..%1 (по умолчанию 12). Без --from "
                                   "период начинается с января года -y или с месяца -m.")
                        .arg(kMaxPeriodMonths),
                    QStringLiteral("N"))),
      perPage(option({QStringLiteral("per-page")},
                     QStringLiteral("Месяцев на странице, 1..%1 (по умолчанию весь период на "
                                    "одной). Страница из одного месяца — лист месяца.")
                         .arg(kMaxPeriodMonths),
                     QStringLiteral("N"))),
      quarterly(option({QStringLiteral("quarterly")},
                       QStringLiteral("Квартальный календарь: на каждой странице месяц между "
                                      "предыдущим и следующим, бледными, одним столбцом. С -y — "
                                      "12 страниц года, с -m — страница месяца."))),
      weekdaysAcross(option({QStringLiteral("weekdays-across")},
                            QStringLiteral("Дни недели столбцами, над каждым месяцем; недели "
                                           "строками."))),
      sundayFirst(option({QStringLiteral("sunday-first")},
                         QStringLiteral("Неделя начинается с воскресенья."))),
      monthTitles(option({QStringLiteral("month-titles")},
                         QStringLiteral("Названия месяцев из набора («Январь.gif» …) над "
                                        "месяцами: left, centre или right; без значения — "
                                        "centre."),
                         QStringLiteral("left|centre|right"))),
      titleGap(option({QStringLiteral("title-gap")},
                      QStringLiteral("Расстояние от названия месяца до месяца (по умолчанию 10)."),
                      QStringLiteral("N"), QStringLiteral("10"))),
      yearTitle(option({QStringLiteral("year-title")},
                       QStringLiteral("Год цифрами набора над листом или над каждой страницей."))),
      weekNumbers(option({QStringLiteral("week-numbers")},
                         QStringLiteral("Номера недель ISO 8601, серые."))),
      neighbourDays(option({QStringLiteral("neighbour-days")},
                           QStringLiteral("Дни соседних месяцев в пустых клетках первой и "
                                          "последней недели, бледные.")))
{}

QList<QCommandLineOption> RenderOptions::all() const
{
    return {glyphs, year, month, perRow, datesX, datesY, monthsX, monthsY, digitsX, sizeCheck,
            holidays, ics, imports, out, format, whole, dpi, paper, margin, portrait, landscape,
            transparent,
            // The period and the layout.
            from, months, perPage, quarterly, weekdaysAcross, sundayFirst, monthTitles, titleGap,
            yearTitle, weekNumbers, neighbourDays, help, version};
}

CommandLineHelp renderHelp(const RenderOptions &options)
{
    return {renderProgramName(), QStringLiteral("[параметры]"),
            QStringLiteral("Рисует календарный лист из набора картинок и сохраняет его в файлы, "
                           "как окно «Создатель календарей Vexilo»."),
            options.all(),
            QStringLiteral("Коды выхода: 0 — файлы записаны; 1 — ошибка, о которой сообщило бы "
                           "окно (сообщение в стандартном потоке ошибок); 2 — ошибка в "
                           "параметрах.")};
}

} // namespace vexilo
