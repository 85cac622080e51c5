#include "GifWriter.h"

#include <QHash>

#include <gif_lib.h>

#include <memory>
#include <vector>

namespace vexilo {

namespace {

constexpr int kMaxColours = 255; // index 0 is kept for the transparent pixels

int appendToBuffer(GifFileType *gif, const GifByteType *data, int length)
{
    auto *buffer = static_cast<QByteArray *>(gif->UserData);
    buffer->append(reinterpret_cast<const char *>(data), length);
    return length;
}

// Composites onto white; nothing (alpha 0) stays transparent.
QRgb onWhite(QRgb pixel)
{
    const int alpha = qAlpha(pixel);
    const auto blend = [alpha](int channel) {
        return (channel * alpha + 255 * (255 - alpha)) / 255;
    };
    return qRgb(blend(qRed(pixel)), blend(qGreen(pixel)), blend(qBlue(pixel)));
}

QRgb reduced(QRgb colour, int droppedBits)
{
    const int mask = (0xFF << droppedBits) & 0xFF;
    // Keep the middle of each step so a reduced white does not turn grey.
    const int middle = droppedBits > 0 ? (1 << (droppedBits - 1)) : 0;
    const auto channel = [&](int value) { return (value & mask) | middle; };
    return qRgb(channel(qRed(colour)), channel(qGreen(colour)), channel(qBlue(colour)));
}

struct Indexed
{
    std::vector<QRgb> palette; // without the transparent entry
    std::vector<GifPixelType> pixels;
};

Indexed indexImage(const QImage &argb)
{
    for (int droppedBits = 0;; ++droppedBits) {
        Indexed result;
        QHash<QRgb, GifPixelType> indexOf;
        result.pixels.reserve(static_cast<std::size_t>(argb.width()) *
                              static_cast<std::size_t>(argb.height()));
        bool fits = true;
        for (int y = 0; y < argb.height() && fits; ++y) {
            const auto *line = reinterpret_cast<const QRgb *>(argb.constScanLine(y));
            for (int x = 0; x < argb.width(); ++x) {
                if (qAlpha(line[x]) == 0) {
                    result.pixels.push_back(0);
                    continue;
                }
                const QRgb colour = reduced(onWhite(line[x]), droppedBits);
                auto found = indexOf.constFind(colour);
                if (found == indexOf.constEnd()) {
                    if (result.palette.size() == kMaxColours) {
                        fits = false;
                        break;
                    }
                    result.palette.push_back(colour);
                    found =
                        indexOf.insert(colour, static_cast<GifPixelType>(result.palette.size()));
                }
                result.pixels.push_back(*found);
            }
        }
        if (fits)
            return result;
    }
}

struct GifCloser
{
    void operator()(GifFileType *gif) const
    {
        int error = 0;
        EGifCloseFile(gif, &error);
    }
};

struct MapFreer
{
    void operator()(ColorMapObject *map) const { GifFreeMapObject(map); }
};

QString giflibError(int code)
{
    const char *text = GifErrorString(code);
    return QStringLiteral("Не удалось записать GIF: %1")
        .arg(text != nullptr ? QString::fromLatin1(text) : QString::number(code));
}

} // namespace

GifEncoding encodeGif(const QImage &image)
{
    if (image.isNull() || image.width() > 0xFFFF || image.height() > 0xFFFF)
        return {{},
                QStringLiteral("Не удалось записать GIF: нет картинки или она слишком велика.")};
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    const Indexed indexed = indexImage(argb);

    // The table has a power-of-two size of at least two entries.
    int bits = 1;
    while ((1 << bits) < static_cast<int>(indexed.palette.size()) + 1)
        ++bits;
    std::unique_ptr<ColorMapObject, MapFreer> map(GifMakeMapObject(1 << bits, nullptr));
    if (!map)
        return {{}, giflibError(E_GIF_ERR_NOT_ENOUGH_MEM)};
    map->Colors[0] = {255, 255, 255};
    for (std::size_t i = 0; i < indexed.palette.size(); ++i) {
        const QRgb colour = indexed.palette[i];
        map->Colors[i + 1] = {static_cast<GifByteType>(qRed(colour)),
                              static_cast<GifByteType>(qGreen(colour)),
                              static_cast<GifByteType>(qBlue(colour))};
    }

    GifEncoding result;
    int error = 0;
    std::unique_ptr<GifFileType, GifCloser> gif(EGifOpen(&result.bytes, appendToBuffer, &error));
    if (!gif)
        return {{}, giflibError(error)};
    EGifSetGifVersion(gif.get(), true); // the transparency block needs GIF89a
    const int width = argb.width();
    const int height = argb.height();
    // Graphics control: no disposal, no delay, index 0 transparent.
    GifByteType control[4] = {0x01, 0, 0, 0};
    bool ok = EGifPutScreenDesc(gif.get(), width, height, bits, 0, map.get()) == GIF_OK &&
              EGifPutExtension(gif.get(), GRAPHICS_EXT_FUNC_CODE, 4, control) == GIF_OK &&
              EGifPutImageDesc(gif.get(), 0, 0, width, height, false, nullptr) == GIF_OK;
    for (int y = 0; ok && y < height; ++y) {
        auto *line = const_cast<GifPixelType *>(indexed.pixels.data()) +
                     static_cast<std::ptrdiff_t>(y) * width;
        ok = EGifPutLine(gif.get(), line, width) == GIF_OK;
    }
    // Closing writes the trailer and frees the handle whatever happened before.
    const int failure = gif->Error;
    const bool closed = EGifCloseFile(gif.release(), &error) == GIF_OK;
    if (!ok)
        return {{}, giflibError(failure)};
    if (!closed)
        return {{}, giflibError(error)};
    return result;
}

} // namespace vexilo
