#pragma once

#include "compose/glyphs/GlyphDecode.h"
#include "compose/glyphs/GlyphInk.h"
#include "compose/glyphs/SvgGlyph.h"
#include "compose/glyphs/clsPixel.h"

#include <QImage>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace vexilo {

// Size-check mode loads only "0.gif" and "Пн.gif". The renderers take any value other than 0
// as that mode, so the loader does the same; the settings file can bring any number.
inline bool isSizeCheck(qint32 ProverkaRazmerov)
{
    return ProverkaRazmerov != 0;
}

// How the glyphs of a set are drawn: pixels copied exactly, or drawings rendered at the scale
// of the output (and kept as vectors where the output is vector).
enum class GlyphKind { Raster, Vector };

// "0.gif" .. "9.gif", or "0.svg" .. "9.svg".
QString digitFileName(int digit, GlyphKind kind = GlyphKind::Raster);
// "Пн.gif" .. "Вс.gif" (or ".svg"), Monday first.
const std::array<QString, 7> &weekdayFileNames(GlyphKind kind = GlyphKind::Raster);

// The kind a folder is read as: GIF when it holds every GIF file of the mode, else SVG when it
// holds every SVG file; when it holds neither whole set, the kind it holds more files of, so
// the message names the files the user meant.
GlyphKind glyphKindOf(const QString &folder, bool sizeCheck);

// Whether a name from the settings or the folder window can be a glyph folder: one folder
// inside the application folder, so no separator of either kind, not "." or "..", not empty.
bool isGlyphFolderName(const QString &name);

// The images read for the holders, in holder order. After a failure they are the ones read
// before the failing file.
struct GlyphImages
{
    GlyphKind kind = GlyphKind::Raster;
    std::vector<QImage> digits;   // picChisla 0..
    std::vector<QImage> weekdays; // picDniNedeli 0..
    // The same with their own transparency (premultiplied), for transparent backgrounds; a
    // null image where the file has none.
    std::vector<QImage> digitsAlpha;
    std::vector<QImage> weekdaysAlpha;
    // The drawings of a vector set; the images above are their renderings at 96 dpi.
    std::vector<SvgGlyph> vectorDigits;
    std::vector<SvgGlyph> vectorWeekdays;
    double scale = 1.0;    // pixels per CSS pixel of the renderings
    bool complete = false; // every file of the mode was read
    QString failedFile;    // the file that stopped the load, when not complete
};

// Reads the digits, then the weekdays, of the folder (which ends with the separator), and
// stops at the first file that cannot be read.
GlyphImages readGlyphImages(const QString &folder, bool sizeCheck);
// The same with the limits of the SVG loader given.
GlyphImages readGlyphImages(const QString &folder, bool sizeCheck, const SvgLoadLimits &limits);

// The red holiday variants: Tsifry per digit read, DniNedeli 0 = Сб and 1 = Вс (both from
// "Пн" in size-check mode).
struct RedVariants
{
    std::vector<clsPixel> Tsifry;
    std::vector<clsPixel> DniNedeli;
};

// Called where the window lets pending events run: before each glyph and between the weekday
// names and the digits. Returning false abandons the build.
using LetEventsRun = std::function<bool()>;

// Builds the red variants of complete images; nothing when the hook abandoned the build.
std::optional<RedVariants> buildRedVariants(const GlyphImages &images, bool sizeCheck,
                                            const LetEventsRun &letEventsRun = {});

// A whole glyph set, for callers without a window.
struct GlyphSet
{
    GlyphImages images;
    RedVariants red; // empty unless images.complete
};
GlyphSet loadGlyphSet(const QString &folder, qint32 ProverkaRazmerov);

// What a sheet is drawn from: the holders' images at their natural size, their red variants,
// the size-check setting (not 0: every digit is "0" and every weekday "Пн") and where the
// images hold ink. Built once per load and never changed after, it is shared by the window and
// every sheet drawn from it, so a load while a sheet is drawn cannot change that sheet's glyphs.
struct LoadedGlyphs
{
    GlyphKind kind = GlyphKind::Raster;
    std::array<QImage, 10> picChisla;
    std::array<QImage, 7> picDniNedeli;
    std::vector<clsPixel> Tsifry;    // red digits 0..9 (only 0 in size-check mode)
    std::vector<clsPixel> DniNedeli; // red weekend names: 0 = Сб, 1 = Вс
    qint32 ProverkaRazmerov = 0;
    SheetInk ink;
    // The holders with their own transparency; null where the holder is opaque.
    std::array<QImage, 10> digitsAlpha;
    std::array<QImage, 7> weekdaysAlpha;
    // A vector set's drawings, whose 96 dpi renderings the holders are.
    std::array<std::optional<SvgGlyph>, 10> vectorDigits;
    std::array<std::optional<SvgGlyph>, 7> vectorWeekdays;
    double scale = 1.0; // pixels per CSS pixel of a vector set's holders
};
using SharedGlyphs = std::shared_ptr<const LoadedGlyphs>;

// The shared value of holders and red variants, with the holders' ink found.
SharedGlyphs shareGlyphs(const std::array<QImage, 10> &picChisla,
                         const std::array<QImage, 7> &picDniNedeli, RedVariants red,
                         qint32 ProverkaRazmerov);
// The holders as a load leaves them: the images it read, the others as they were in `before`
// (empty when there was none).
SharedGlyphs shareGlyphs(const GlyphImages &images, RedVariants red, qint32 ProverkaRazmerov,
                         const LoadedGlyphs *before = nullptr);

// A vector set rendered at `scale` pixels per CSS pixel: holders, red variants, transparency
// and ink as a load at that resolution leaves them. A raster set, or scale 1, is returned as it
// is; null when the memory for the renderings cannot be had.
SharedGlyphs glyphsAtScale(const SharedGlyphs &glyphs, double scale);

// A vector set whose drawings are recorded for `dpi`, when that is finer than their recording
// (at least kMinRecordDpi); nothing when it is not, or for a raster set. The drawings that
// cannot be recorded again keep their recording.
std::optional<LoadedGlyphs> recordedAt(const LoadedGlyphs &glyphs, int dpi);

// The names of the visible subfolders of the application folder, in alphabetical order
// regardless of case (ties by case, so the order never depends on the file system).
QStringList glyphFolderNames(const QString &appFolder);

// The set names of several folders (each ending with the separator), folder by folder, each
// name once: a set in an earlier folder hides one of the same name in a later folder.
QStringList glyphSetNamesIn(const QStringList &roots);
// The folder of the named set (ending with "/"): in the first root that holds it, else in the
// first root.
QString glyphSetFolderIn(const QStringList &roots, const QString &name);

} // namespace vexilo
