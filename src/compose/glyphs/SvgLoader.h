#pragma once

#include "common/SvgLoaderWire.h"
#include "compose/tints/GlyphTint.h"

#include <QByteArray>
#include <QImage>
#include <QSizeF>
#include <QString>

#include <array>
#include <memory>
#include <optional>
#include <vector>

using cairo_t = struct _cairo;

namespace vexilo {

// What bounds the loader process of one set. A glyph it cannot draw within them fails the load
// like a damaged picture.
struct SvgLoadLimits
{
    int deadlineMs = 3000; // wall clock, for the whole set
    int cpuSeconds = 4;
    int memoryMb = 1024; // address space; the sanitizer builds bound resident memory instead
};

// A glyph's documents as the loader gets them, re-serialised by the program's own XML pass, one
// per tint (GlyphTint order); empty for a tint not asked for. The plain one is always there.
struct SvgDocuments
{
    std::array<QByteArray, kGlyphTints> byTint;

    const QByteArray &of(GlyphTint tint) const { return byTint[std::size_t(tint)]; }
    // The tints present, bit i for GlyphTint i: what the loader is asked to draw.
    std::uint32_t variants() const;
};

// One glyph as the loader answered: its size in CSS pixels, its renderings at the render scale
// and its recordings (cairo scripts) at `recordScale` units per CSS pixel, per tint; null and
// empty for the tints not asked for.
struct SvgDrawn
{
    QSizeF exact;
    double recordScale = 1;
    std::array<QImage, kGlyphTints> images;
    std::array<QByteArray, kGlyphTints> scripts;
};

// One loader process at work: started at once, so that it starts up while the documents are
// read, and given each document as soon as it is ready.
class SvgLoaderRun
{
public:
    SvgLoaderRun(double renderScale, double recordScale, const SvgLoadLimits &limits = {});
    ~SvgLoaderRun();
    SvgLoaderRun(const SvgLoaderRun &) = delete;
    SvgLoaderRun &operator=(const SvgLoaderRun &) = delete;

    void send(const SvgDocuments &documents);
    // The answers to what was sent, in order, up to the first failure; ends the process.
    std::vector<SvgDrawn> answers();

private:
    struct Process;
    std::unique_ptr<Process> m_process;
};

// The documents drawn in order by one loader process, at `renderScale` pixels per CSS pixel
// and recorded at `recordScale`: one answer per document up to the first one the loader
// refused, could not draw within its limits, or died on.
std::vector<SvgDrawn> drawInLoader(const std::vector<SvgDocuments> &documents, double renderScale,
                                   double recordScale, const SvgLoadLimits &limits = {});

// One answer read off the front of `bytes` and checked against what was asked (the scales and
// the variants sent, as a mask of SvgDocuments::variants): the glyph, or nothing when it was
// refused or breaks a bound. `used` is 0 while the answer is incomplete.
std::optional<SvgDrawn> decodeLoaderAnswer(const char *bytes, std::size_t size, double renderScale,
                                           double recordScale, std::size_t &used,
                                           std::uint32_t variants = wire::kPlainAndHoliday);

// Replays a recording onto `cr`, one unit per CSS pixel from the context's origin, bounded by
// the glyph's box as recorded. False when the script does not replay cleanly.
bool replayRecording(const QByteArray &script, double recordScale, cairo_t *cr);

// The loader program: beside the programs in the build tree, in libexec when installed.
QString svgLoaderProgram();

} // namespace vexilo
