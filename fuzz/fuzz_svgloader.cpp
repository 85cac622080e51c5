// The SVG loader on any bytes, with its limits: the bytes as a drawing go through the
// program's own XML pass and the real loader process, and come back as a glyph of bounded
// size whose recording replays, or as nothing; the same bytes as a loader's answer are either
// a glyph of the size asked for or refused, never read past their end.
#include "FuzzCheck.h"

#include "common/SvgLoaderWire.h"
#include "compose/glyphs/SvgGlyph.h"
#include "compose/glyphs/SvgLoader.h"

#include <QCoreApplication>

#include <cstddef>
#include <cstdint>

using namespace vexilo;

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    // The loader is found beside the program or in the build tree; QProcess wants an
    // application.
    static QCoreApplication application(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const char *bytes = reinterpret_cast<const char *>(data);
    std::size_t used = 0;
    const auto answer = decodeLoaderAnswer(bytes, size, 1.0, 1.0, used);
    FUZZ_CHECK(used <= size);
    if (answer) {
        FUZZ_CHECK(answer->images[0].width() == qRound(answer->exact.width()) ||
                   answer->images[0].width() == 1);
        FUZZ_CHECK(answer->images[0].size() == answer->images[1].size());
    }

    const auto documents = SvgGlyph::documentsOf(QByteArray(bytes, qsizetype(size)));
    if (!documents)
        return 0;
    // Limits tight enough for libFuzzer's clock, as the tests use them.
    SvgLoadLimits limits;
    limits.deadlineMs = 1500;
    limits.cpuSeconds = 1;
    limits.memoryMb = 256;
    SvgGlyph::Loader loader(1.0, limits);
    loader.send(*documents);
    const std::vector<SvgGlyph> glyphs = loader.glyphs();
    if (glyphs.empty())
        return 0;
    const SvgGlyph &glyph = glyphs.front();
    FUZZ_CHECK(!glyph.size().isEmpty() && glyph.size().width() <= wire::kMaxSide &&
               glyph.size().height() <= wire::kMaxSide);
    for (const bool holiday : {false, true}) {
        FUZZ_CHECK(glyph.render(1.0, holiday).size() == glyph.size());
        // Half the scale is no rendering of the loader's: the recording is replayed.
        (void)glyph.render(0.5, holiday);
    }
    return 0;
}
