// vexilo-glyphs: draws a glyph set from an installed font.
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

int usage(QTextStream &err, const QString &reason)
{
    err << "vexilo-glyphs: " << reason << ". Try 'vexilo-glyphs --help'.\n";
    return Usage;
}

int run(QTextStream &out, QTextStream &err)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Draws a glyph set (\"0.gif\" … \"9.gif\", \"Пн.gif\" … \"Вс.gif\") from an installed "
        "font, for Vexilo and vexilo-render."));
    const QCommandLineOption font(QStringLiteral("font"),
                                  QStringLiteral("Font family, as installed (required)."),
                                  QStringLiteral("FAMILY"));
    const QCommandLineOption size(QStringLiteral("size"),
                                  QStringLiteral("Font size in pixels, %1..%2 (default 40).")
                                      .arg(vexilo::kMinGlyphFontSize)
                                      .arg(vexilo::kMaxGlyphFontSize),
                                  QStringLiteral("PX"), QStringLiteral("40"));
    const QCommandLineOption bold(QStringLiteral("bold"), QStringLiteral("Bold face."));
    const QCommandLineOption color(
        QStringLiteral("color"),
        QStringLiteral("Ink colour (default #000000); holidays are drawn in a red made from it."),
        QStringLiteral("#RRGGBB"), QStringLiteral("#000000"));
    const QCommandLineOption outDir({QStringLiteral("o"), QStringLiteral("out")},
                                    QStringLiteral("The set's folder (required)."),
                                    QStringLiteral("DIR"));
    const QCommandLineOption force(
        QStringLiteral("force"),
        QStringLiteral("Write into an existing folder that holds nothing but the seventeen "
                       "glyph files; any other entry, a link or the home folder is refused."));
    const QCommandLineOption listFonts(QStringLiteral("list-fonts"),
                                       QStringLiteral("Print the installed font families."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOptions({font, size, bold, color, outDir, force, listFonts});
    if (!parser.parse(QCoreApplication::arguments()))
        return usage(err, parser.errorText());
    if (parser.isSet(QStringLiteral("help"))) {
        out << parser.helpText();
        return Ok;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        out << vexilo::versionLine(QStringLiteral("vexilo-glyphs")) << '\n';
        return Ok;
    }
    if (parser.isSet(listFonts)) {
        for (const QString &family : QFontDatabase::families())
            out << family << '\n';
        return Ok;
    }
    if (!parser.positionalArguments().isEmpty())
        return usage(err, QStringLiteral("unexpected argument '%1'")
                              .arg(parser.positionalArguments().constFirst()));
    if (!parser.isSet(font) || parser.value(outDir).isEmpty())
        return usage(err, QStringLiteral("--font and -o are required"));

    bool sizeOk = false;
    const int pixels = parser.value(size).toInt(&sizeOk);
    if (!sizeOk || pixels < vexilo::kMinGlyphFontSize || pixels > vexilo::kMaxGlyphFontSize)
        return usage(err, QStringLiteral("--size must be %1..%2, not '%3'")
                              .arg(vexilo::kMinGlyphFontSize)
                              .arg(vexilo::kMaxGlyphFontSize)
                              .arg(parser.value(size)));
    const auto ink = vexilo::colorFromHex(parser.value(color));
    if (!ink)
        return usage(err,
                     QStringLiteral("--color must be #RRGGBB, not '%1'").arg(parser.value(color)));

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
