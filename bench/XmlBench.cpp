// The XML readers on a file of 100 000 attributes on one element against a plain file of the
// same size, in one run:
//   make bench ARGS=--benchmark_filter=Xml
#include "compose/tints/SvgTint.h"
#include "holidays/ProductionCalendar.h"

#include <benchmark/benchmark.h>

#include <cstdint>

using namespace vexilo;

namespace {

constexpr int kAttributes = 100000;

QByteArray manyAttributes(const QByteArray &head, const QByteArray &tail)
{
    QByteArray xml = head;
    for (int i = 0; i < kAttributes; ++i)
        xml += " a" + QByteArray::number(i) + "=\"\"";
    return xml + tail;
}

// Plain elements repeated until the file is as long as `size`.
QByteArray plain(const QByteArray &head, const QByteArray &element, const QByteArray &tail,
                 qsizetype size)
{
    QByteArray xml = head;
    while (xml.size() + tail.size() < size)
        xml += element;
    return xml + tail;
}

const QByteArray kCalendarHead = "<calendar year=\"2025\"><days>";
const QByteArray kCalendarTail = "</days></calendar>";
const QByteArray kSvgHead = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"10\" height=\"10\">";
const QByteArray kSvgTail = "</svg>";

// An element with as many attributes as the readers take, for the worst file they read.
QByteArray fullElement(int attributes)
{
    QByteArray element = "<g";
    for (int i = 0; i < attributes; ++i)
        element += " a" + QByteArray::number(i) + "=\"\"";
    return element + "/>\n";
}

// 1: 100 000 attributes on one element; 0: the same bytes as plain elements; 2: the same bytes
// as elements with the most attributes the reader takes.
const QByteArray &calendarFile(std::int64_t kind)
{
    static const QByteArray many =
        manyAttributes(kCalendarHead + "<day d=\"01.01\" t=\"1\"", "/>" + kCalendarTail);
    static const QByteArray same =
        plain(kCalendarHead, "<day d=\"01.01\" t=\"1\"/>\n", kCalendarTail, many.size());
    static const QByteArray full =
        plain(kCalendarHead, fullElement(256), kCalendarTail, many.size());
    return kind == 1 ? many : kind == 0 ? same : full;
}

const QByteArray &svgFile(std::int64_t kind)
{
    static const QByteArray many =
        manyAttributes(kSvgHead + "<rect fill=\"#000\"", "/>" + kSvgTail);
    static const QByteArray same =
        plain(kSvgHead, "<rect fill=\"#000\" width=\"5\"/>\n", kSvgTail, many.size());
    static const QByteArray full = plain(kSvgHead, fullElement(254), kSvgTail, many.size());
    return kind == 1 ? many : kind == 0 ? same : full;
}

void BM_XmlCalendar(benchmark::State &state)
{
    const QByteArray &bytes = calendarFile(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(readProductionXml(bytes, QStringLiteral("f")));
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(BM_XmlCalendar)->Arg(1)->Arg(0)->Arg(2)->Unit(benchmark::kMillisecond);

void BM_XmlSvgTint(benchmark::State &state)
{
    const QByteArray &bytes = svgFile(state.range(0));
    const auto keep = [](QRgb colour) { return colour; };
    for (auto _ : state)
        benchmark::DoNotOptimize(tintSvgColours(bytes, keep));
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(BM_XmlSvgTint)->Arg(1)->Arg(0)->Arg(2)->Unit(benchmark::kMillisecond);

} // namespace
