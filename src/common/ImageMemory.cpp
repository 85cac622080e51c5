#include "ImageMemory.h"

#include <QtMath>

#include <algorithm>
#include <memory>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace vexilo {

namespace {

constexpr std::size_t kBigPage = std::size_t(2) << 20;

struct MappedMemory
{
    void *address;
    std::size_t length;
};

} // namespace

QImage canvasBuffer(QSize size, QImage::Format format)
{
    const qsizetype bytesPerLine = qsizetype(std::max(size.width(), 0)) * 4;
    const auto bytes = static_cast<std::size_t>(bytesPerLine * std::max(size.height(), 0));
#ifdef MADV_HUGEPAGE
    if (bytes >= 4 * kBigPage) {
        const std::size_t length = (bytes + kBigPage - 1) / kBigPage * kBigPage;
        void *address =
            mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (address != MAP_FAILED) {
            madvise(address, length, MADV_HUGEPAGE);
            auto memory = std::make_unique<MappedMemory>(MappedMemory{address, length});
            QImage image(
                static_cast<uchar *>(address), size.width(), size.height(), bytesPerLine, format,
                [](void *info) {
                    const std::unique_ptr<MappedMemory> owned(static_cast<MappedMemory *>(info));
                    munmap(owned->address, owned->length);
                },
                memory.get());
            if (!image.isNull()) {
                memory.release(); // the image's cleanup owns it now
                return image;
            }
            munmap(address, length);
        }
    }
#endif
    return QImage(size, format);
}

QImage blankPicture(int width, int height, qreal devicePixelRatio)
{
    const qreal ratio = devicePixelRatio > 0 ? devicePixelRatio : 1.0;
    QImage image(qCeil(width * ratio), qCeil(height * ratio), QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::white);
    return image;
}

} // namespace vexilo
