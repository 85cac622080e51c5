// vexilo-glyphs: draws a glyph set from an installed font.
#include "common/RuntimeFolder.h"
#include "common/Version.h"
#include "glyphs-tool/GlyphsCommand.h"

#include <QGuiApplication>
#include <QTextStream>

namespace {

// Fonts need a GUI application; without a display it runs on the offscreen platform, so the
// tool works in scripts and during the build.
void chooseOffscreenWithoutDisplay()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

} // namespace

int main(int argc, char *argv[])
{
    if (vexilo::printVersionIfAsked(argc, argv, "vexilo-glyphs"))
        return 0;
    chooseOffscreenWithoutDisplay();
    vexilo::provideRuntimeFolder();
    QGuiApplication app(argc, argv);
    vexilo::setApplicationIdentity();
    QTextStream out(stdout);
    QTextStream err(stderr);
    const int status = vexilo::runGlyphs(QCoreApplication::arguments(), out, err);
    out.flush();
    err.flush();
    return status;
}
