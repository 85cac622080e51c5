#include "GlyphsCommand.h"

#include "common/CommandLine.h"
#include "common/SafeFolder.h"
#include "common/Version.h"
#include "compose/maker/GlyphMaker.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFontDatabase>
#include <QTextStream>

namespace vexilo {

namespace {

const QString kProgram = QStringLiteral("vexilo-glyphs");

int usage(QTextStream &err, const QString &reason)
{
    err << usageErrorLine(kProgram, reason) << '\n';
    return GlyphsUsage;
}

} // namespace

int runGlyphs(const QStringList &arguments, QTextStream &out, QTextStream &err,
              const SafeWriteOptions &writeOptions)
{
    QCommandLineParser parser;
    const QCommandLineOption font(QStringLiteral("font"),
                                  QStringLiteral("Семейство шрифта, как оно установлено "
                                                 "(обязательно)."),
                                  QStringLiteral("СЕМЕЙСТВО"));
    const QCommandLineOption size(QStringLiteral("size"),
                                  QStringLiteral("Размер шрифта в пикселях, %1..%2 (по умолчанию "
                                                 "40).")
                                      .arg(kMinGlyphFontSize)
                                      .arg(kMaxGlyphFontSize),
                                  QStringLiteral("ПИКСЕЛИ"), QStringLiteral("40"));
    const QCommandLineOption bold(QStringLiteral("bold"), QStringLiteral("Полужирное начертание."));
    const QCommandLineOption color(
        QStringLiteral("color"),
        QStringLiteral("Цвет (по умолчанию #000000); праздники рисуются красным, полученным из "
                       "него."),
        QStringLiteral("#RRGGBB"), QStringLiteral("#000000"));
    const QCommandLineOption outDir({QStringLiteral("o"), QStringLiteral("out")},
                                    QStringLiteral("Папка набора (обязательно)."),
                                    QStringLiteral("ПАПКА"));
    const QCommandLineOption force(
        QStringLiteral("force"),
        QStringLiteral("Записать в существующую папку, где нет ничего, кроме файлов набора "
                       "(семнадцати знаков и названий месяцев); любой другой файл, ссылка или "
                       "домашняя папка — отказ."));
    const QCommandLineOption capitals(
        QStringLiteral("capitals"),
        QStringLiteral("Названия месяцев прописными буквами («ЯНВАРЬ»); без него — как в "
                       "списке месяцев («Январь»)."));
    const QCommandLineOption svg(
        QStringLiteral("svg"),
        QStringLiteral("Записать набор в SVG («0.svg» … «Вс.svg»): контуры знаков, которым не "
                       "нужен шрифт на другом компьютере; размеры и места те же, что у GIF."));
    const QCommandLineOption listFonts(QStringLiteral("list-fonts"),
                                       QStringLiteral("Вывести установленные семейства шрифтов."));
    const QCommandLineOption help = helpOption();
    const QCommandLineOption version = versionOption();
    const QList<QCommandLineOption> options = {font, size,     bold,      color, outDir, force,
                                               svg,  capitals, listFonts, help,  version};
    parser.addOptions(options);
    if (!parser.parse(arguments))
        return usage(err, parserErrorReason(parser));
    if (parser.isSet(help)) {
        out << helpText(
            {kProgram, QStringLiteral("--font СЕМЕЙСТВО -o ПАПКА [параметры]"),
             QStringLiteral("Рисует набор картинок («0.gif» … «9.gif», «Пн.gif» … «Вс.gif» и "
                            "названия месяцев «Январь.gif» … «Декабрь.gif», всего 29 файлов, "
                            "или с --svg те же имена на «.svg») из установленного шрифта для "
                            "Vexilo и vexilo-render."),
             options,
             QStringLiteral("Коды выхода: 0 — набор записан (или выведен список шрифтов); 1 — "
                            "шрифт не найден или набор не записан; 2 — ошибка в параметрах.")});
        return GlyphsOk;
    }
    if (parser.isSet(version)) {
        out << versionLine(kProgram) << '\n';
        return GlyphsOk;
    }
    if (parser.isSet(listFonts)) {
        for (const QString &family : QFontDatabase::families())
            out << family << '\n';
        return GlyphsOk;
    }
    if (!parser.positionalArguments().isEmpty())
        return usage(
            err,
            QStringLiteral("лишний аргумент «%1»").arg(parser.positionalArguments().constFirst()));
    if (!parser.isSet(font) || parser.value(outDir).isEmpty())
        return usage(err, QStringLiteral("нужны параметры --font и -o"));

    bool sizeOk = false;
    const int pixels = parser.value(size).toInt(&sizeOk);
    if (!sizeOk || pixels < kMinGlyphFontSize || pixels > kMaxGlyphFontSize)
        return usage(
            err, badValueReason(
                     QStringLiteral("--size"),
                     QStringLiteral("от %1 до %2").arg(kMinGlyphFontSize).arg(kMaxGlyphFontSize),
                     parser.value(size)));
    const auto ink = colorFromHex(parser.value(color));
    if (!ink)
        return usage(err, badValueReason(QStringLiteral("--color"),
                                         QStringLiteral("в виде #RRGGBB"), parser.value(color)));

    const auto family = installedFontFamily(parser.value(font));
    if (!family) {
        err << QStringLiteral("Шрифт «%1» не установлен.").arg(parser.value(font)) << '\n';
        return GlyphsFailed;
    }
    const MadeGlyphs glyphs =
        makeGlyphs({*family, pixels, parser.isSet(bold), *ink, parser.isSet(capitals)});
    const MadeGlyphFiles kind = parser.isSet(svg) ? MadeGlyphFiles::Svg : MadeGlyphFiles::Gif;
    if (const SafeWriteResult written =
            writeMadeGlyphs(glyphs, parser.value(outDir), parser.isSet(force), writeOptions, kind);
        !written.ok) {
        SafeWriteResult shown = written; // named as the user can find it from anywhere
        shown.path = QDir::toNativeSeparators(
            QDir::cleanPath(QDir::current().absoluteFilePath(written.path)));
        err << failureLines(shown, WrittenThing::GlyphSet).join(u'\n') << '\n';
        return GlyphsFailed;
    }
    out << QStringLiteral("%1: %2 %3 px, цифры %4x%5, дни недели %6x%7%8")
               .arg(parser.value(outDir), *family)
               .arg(pixels)
               .arg(glyphs.digits[0].width())
               .arg(glyphs.digits[0].height())
               .arg(glyphs.weekdays[0].width())
               .arg(glyphs.weekdays[0].height())
               .arg(kind == MadeGlyphFiles::Svg ? QStringLiteral(", SVG") : QString())
        << '\n';
    return GlyphsOk;
}

} // namespace vexilo
