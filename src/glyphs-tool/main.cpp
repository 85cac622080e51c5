// vexilo-glyphs: draws a glyph set from an installed font.
#include "common/CommandLine.h"
#include "common/SafeFolder.h"
#include "common/Version.h"
#include "compose/GlyphMaker.h"

#include <QCommandLineParser>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QTextStream>

namespace {

enum Status { Ok = 0, Failed = 1, Usage = 2 };

// Fonts need a GUI application; without a display it runs on the offscreen platform, so the
// tool works in scripts and during the build.
void chooseOffscreenWithoutDisplay()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

const QString kProgram = QStringLiteral("vexilo-glyphs");

int usage(QTextStream &err, const QString &reason)
{
    err << vexilo::usageErrorLine(kProgram, reason) << '\n';
    return Usage;
}

int run(QTextStream &out, QTextStream &err)
{
    QCommandLineParser parser;
    const QCommandLineOption font(QStringLiteral("font"),
                                  QStringLiteral("Семейство шрифта, как оно установлено "
                                                 "(обязательно)."),
                                  QStringLiteral("СЕМЕЙСТВО"));
    const QCommandLineOption size(QStringLiteral("size"),
                                  QStringLiteral("Размер шрифта в пикселях, %1..%2 (по умолчанию "
                                                 "40).")
                                      .arg(vexilo::kMinGlyphFontSize)
                                      .arg(vexilo::kMaxGlyphFontSize),
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
        QStringLiteral("Записать в существующую папку, где нет ничего, кроме семнадцати файлов "
                       "набора; любой другой файл, ссылка или домашняя папка — отказ."));
    const QCommandLineOption listFonts(QStringLiteral("list-fonts"),
                                       QStringLiteral("Вывести установленные семейства шрифтов."));
    const QCommandLineOption help = vexilo::helpOption();
    const QCommandLineOption version = vexilo::versionOption();
    const QList<QCommandLineOption> options = {font,  size,      bold, color,  outDir,
                                               force, listFonts, help, version};
    parser.addOptions(options);
    if (!parser.parse(QCoreApplication::arguments()))
        return usage(err, vexilo::parserErrorReason(parser));
    if (parser.isSet(help)) {
        out << vexilo::helpText(
            {kProgram, QStringLiteral("--font СЕМЕЙСТВО -o ПАПКА [параметры]"),
             QStringLiteral("Рисует набор картинок («0.gif» … «9.gif», «Пн.gif» … «Вс.gif») "
                            "из установленного шрифта для Vexilo и vexilo-render."),
             options,
             QStringLiteral("Коды выхода: 0 — набор записан (или выведен список шрифтов); 1 — "
                            "шрифт не найден или набор не записан; 2 — ошибка в параметрах.")});
        return Ok;
    }
    if (parser.isSet(version)) {
        out << vexilo::versionLine(kProgram) << '\n';
        return Ok;
    }
    if (parser.isSet(listFonts)) {
        for (const QString &family : QFontDatabase::families())
            out << family << '\n';
        return Ok;
    }
    if (!parser.positionalArguments().isEmpty())
        return usage(
            err,
            QStringLiteral("лишний аргумент «%1»").arg(parser.positionalArguments().constFirst()));
    if (!parser.isSet(font) || parser.value(outDir).isEmpty())
        return usage(err, QStringLiteral("нужны параметры --font и -o"));

    bool sizeOk = false;
    const int pixels = parser.value(size).toInt(&sizeOk);
    if (!sizeOk || pixels < vexilo::kMinGlyphFontSize || pixels > vexilo::kMaxGlyphFontSize)
        return usage(err, vexilo::badValueReason(QStringLiteral("--size"),
                                                 QStringLiteral("от %1 до %2")
                                                     .arg(vexilo::kMinGlyphFontSize)
                                                     .arg(vexilo::kMaxGlyphFontSize),
                                                 parser.value(size)));
    const auto ink = vexilo::colorFromHex(parser.value(color));
    if (!ink)
        return usage(err,
                     vexilo::badValueReason(QStringLiteral("--color"),
                                            QStringLiteral("в виде #RRGGBB"), parser.value(color)));

    const auto family = vexilo::installedFontFamily(parser.value(font));
    if (!family) {
        err << QStringLiteral("Шрифт «%1» не установлен.").arg(parser.value(font)) << '\n';
        return Failed;
    }
    const vexilo::MadeGlyphs glyphs =
        vexilo::makeGlyphs({*family, pixels, parser.isSet(bold), *ink});
    if (const vexilo::SafeWriteResult written =
            vexilo::writeMadeGlyphs(glyphs, parser.value(outDir), parser.isSet(force));
        !written.ok) {
        err << vexilo::failedWriteMessage(written) << '\n';
        return Failed;
    }
    out << QStringLiteral("%1: %2 %3 px, цифры %4x%5, дни недели %6x%7")
               .arg(parser.value(outDir), *family)
               .arg(pixels)
               .arg(glyphs.digits[0].width())
               .arg(glyphs.digits[0].height())
               .arg(glyphs.weekdays[0].width())
               .arg(glyphs.weekdays[0].height())
        << '\n';
    return Ok;
}

} // namespace

int main(int argc, char *argv[])
{
    if (vexilo::printVersionIfAsked(argc, argv, "vexilo-glyphs"))
        return 0;
    chooseOffscreenWithoutDisplay();
    QGuiApplication app(argc, argv);
    vexilo::setApplicationIdentity();
    QTextStream out(stdout);
    QTextStream err(stderr);
    const int status = run(out, err);
    out.flush();
    err.flush();
    return status;
}
