#pragma once

#include "compose/glyphs/GlyphDecode.h"
#include "compose/glyphs/GlyphInk.h"
#include "compose/glyphs/SvgGlyph.h"
#include "compose/tints/clsPixel.h"

#include <QImage>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace vexilo {

// Size-check mode loads only "0.gif" and "Пн.gif" of the digits and weekdays; the month titles
// are read as in any load, as each stands in a box of its own. The renderers take any value other
// than 0 as that mode, so the loader does the same; the settings file can bring any number.
inline bool isSizeCheck(qint32 ProverkaRazmerov)
{
    return ProverkaRazmerov != 0;
}

// How the glyphs of a set are drawn: pixels copied exactly, or drawings rendered at the scale
// of the output (and kept as vectors where the output is vector).
enum class GlyphKind { Raster, Vector };

// "0.gif" .. "9.gif", or "0.svg" .. "9.svg".
QString digitFileName(int digit, GlyphKind kind = GlyphKind::Raster);
// "Январь.gif" .. "Декабрь.gif" (or ".svg") for month 0..11.
QString monthTitleFileName(int month, GlyphKind kind = GlyphKind::Raster);
// "Пн.gif" .. "Вс.gif" (or ".svg"), Monday first.
const std::array<QString, 7> &weekdayFileNames(GlyphKind kind = GlyphKind::Raster);

// The kind a folder is read as: GIF when it holds every GIF file of the mode, else SVG when it
// holds every SVG file; when it holds neither whole set, the kind it holds more files of, so
// the message names the files the user meant.
GlyphKind glyphKindOf(const QString &folder, bool sizeCheck);

// Whether a name from the settings or the folder window can be a glyph folder: one folder
// inside the application folder, so no separator of either kind, not "." or "..", not empty.
bool isGlyphFolderName(const QString &name);

// What a sheet is drawn from: the holders' images at their natural size, their red variants,
// the size-check setting (not 0: every digit is "0" and every weekday "Пн") and where the
// images hold ink. Built once per load and never changed after, it is shared by the window and
// every sheet drawn from it, so a load while a sheet is drawn cannot change that sheet's glyphs.
struct GlyphSet
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

    // The month titles, January first, which a set may hold: never tinted, null where the set
    // has none. `missingTitle` names the first title file the set lacks or cannot read, empty
    // when it has all twelve.
    std::array<QImage, 12> monthTitles;
    std::array<QImage, 12> titlesAlpha; // with their own transparency; null where opaque
    std::array<std::optional<SvgGlyph>, 12> vectorTitles;
    QString missingTitle;

    // The tinted holders beside the red bitmaps, built with them: images of the holders' size,
    // copied as the holders are (their ink is the holders' ink, as a tint keeps white white).
    std::array<QImage, 10> paleDigits;
    std::array<QImage, 10> paleRedDigits;
    std::array<QImage, 10> greyDigits;
    std::array<QImage, 7> paleWeekdays;    // Пн .. Вс
    std::array<QImage, 7> paleRedWeekdays; // only Сб and Вс are drawn red
};
using SharedGlyphs = std::shared_ptr<const GlyphSet>;

// What a load of a folder read: the images for the holders, in holder order, and the set built
// from them. After a failure the images are the ones read before the failing file, which the
// holders take while the rest of the set stays as it was.
struct GlyphLoad
{
    SharedGlyphs set; // null unless complete; left to the caller by readGlyphImages
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
    // The month titles the set holds, read only after a complete load of the rest; as in
    // GlyphSet, null where a title is missing, and `missingTitle` the first one.
    std::array<QImage, 12> titles;
    std::array<QImage, 12> titlesAlpha;
    std::array<std::optional<SvgGlyph>, 12> vectorTitles;
    QString missingTitle;
};

// Reads the digits, then the weekdays, of the folder (which ends with the separator), and
// stops at the first file that cannot be read; after a complete read, the month titles, which
// never fail the load. The set is not built.
GlyphLoad readGlyphImages(const QString &folder, bool sizeCheck);
// The same with the limits of the SVG loader given.
GlyphLoad readGlyphImages(const QString &folder, bool sizeCheck, const SvgLoadLimits &limits);

// Called where the window lets pending events run: before each glyph and between the weekday
// names and the digits. Returning false abandons the build.
using LetEventsRun = std::function<bool()>;

// The set of a complete load: its red variants (Tsifry per digit read, DniNedeli 0 = Сб and
// 1 = Вс, both from "Пн" in size-check mode), then the holders as the load leaves them: the
// images it read, the others as they are in `before` (none when null) once the red variants
// are built, the titles it read, and the tinted holders of those holders (for a vector set
// its drawings in each tint). Null when the hook abandoned the build.
SharedGlyphs buildGlyphSet(const GlyphLoad &load, qint32 ProverkaRazmerov,
                           const SharedGlyphs &before = nullptr,
                           const LetEventsRun &letEventsRun = {});
// The set after a failed load: the holders it read take the new images; the others, the red
// variants and the tinted holders built with them, and the titles, stay as they are in
// `before`.
SharedGlyphs keptAfterFailure(const GlyphLoad &load, qint32 ProverkaRazmerov,
                              const GlyphSet *before);

// A whole load with its set built, for callers without a window.
GlyphLoad loadGlyphSet(const QString &folder, qint32 ProverkaRazmerov);

// The shared value of holders and red variants, with the holders' ink found and their tinted
// holders built from their pixels.
SharedGlyphs shareGlyphs(const std::array<QImage, 10> &picChisla,
                         const std::array<QImage, 7> &picDniNedeli, std::vector<clsPixel> Tsifry,
                         std::vector<clsPixel> DniNedeli, qint32 ProverkaRazmerov);

// A vector set rendered at `scale` pixels per CSS pixel: holders, titles, red variants, tinted
// holders, transparency and ink as a load at that resolution leaves them. A raster set, or scale 1,
// is returned as it is; null when the memory for the renderings cannot be had.
SharedGlyphs glyphsAtScale(const SharedGlyphs &glyphs, double scale);

// A vector set whose drawings (titles too) are recorded for `dpi`, when that is finer than their
// recording (at least kMinRecordDpi); nothing when it is not, or for a raster set. The drawings
// that cannot be recorded again keep their recording.
std::optional<GlyphSet> recordedAt(const GlyphSet &glyphs, int dpi);

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
