// vexilo-svgloader: reads the SVG glyphs of one set for the program, in a process of its own,
// bounded and sandboxed, so that a drawing that makes librsvg abort, crash, hang or swell
// takes down nothing but this process. The protocol is in common/SvgLoaderWire.h.

#include "GlyphWork.h"
#include "Sandbox.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using namespace vexilo;

bool readExactly(void *to, std::size_t size)
{
    auto *at = static_cast<char *>(to);
    while (size > 0) {
        const ssize_t got = read(STDIN_FILENO, at, size);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        at += got;
        size -= static_cast<std::size_t>(got);
    }
    return true;
}

template <typename T> bool readValue(T &value)
{
    return readExactly(&value, sizeof value);
}

// A length and the document.
bool readDocument(std::string &document)
{
    std::uint32_t size = 0;
    if (!readValue(size) || size > wire::kMaxDocumentBytes)
        return false;
    document.resize(size);
    return readExactly(document.data(), size);
}

bool writeAll(const std::string &bytes)
{
    const char *at = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t put = write(STDOUT_FILENO, at, left);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return false;
        at += put;
        left -= static_cast<std::size_t>(put);
    }
    return true;
}

int argument(int argc, char **argv, const char *name)
{
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], name) == 0)
            return std::atoi(argv[i + 1]);
    }
    return 0;
}

int serve()
{
    std::uint32_t magic = 0;
    double renderScale = 0;
    double recordScale = 0;
    if (!readValue(magic) || magic != wire::kWireMagic || !readValue(renderScale) ||
        !readValue(recordScale))
        return 2;
    std::vector<std::string> documents;
    std::string answer;
    // Glyphs come until the parent closes the pipe.
    for (std::uint32_t i = 0; i < wire::kMaxGlyphs; ++i) {
        char next = 0;
        const ssize_t peeked = read(STDIN_FILENO, &next, 1);
        if (peeked == 0)
            return 0;
        std::uint32_t variants = 0;
        auto *mask = reinterpret_cast<char *>(&variants);
        mask[0] = next;
        if (peeked < 0 || !readExactly(mask + 1, sizeof variants - 1) ||
            !wire::validVariants(variants))
            return 2;
        documents.clear();
        for (int bit = 0; bit < wire::kMaxVariants; ++bit) {
            if ((variants & (std::uint32_t(1) << bit)) == 0)
                continue;
            documents.emplace_back();
            if (!readDocument(documents.back()))
                return 2;
        }
        svgloader::GlyphAnswer drawn;
        answer.clear();
        if (svgloader::drawGlyph(documents, renderScale, recordScale, drawn))
            svgloader::appendAnswer(answer, drawn);
        else
            wire::putValue(answer, wire::kGlyphRefused);
        if (!writeAll(answer))
            return 2;
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    svgloader::applyLimits({argument(argc, argv, "--cpu"), argument(argc, argv, "--memory")});
    svgloader::enterSandbox();
    // Nothing is left to tidy: the answers are written, and the exit skips the libraries'
    // teardown.
    std::_Exit(serve());
}
