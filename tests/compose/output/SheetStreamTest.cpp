// Whole sheets drawn band by band: PNG rows and PDF/printer pages against wholeSheet.
#include "compose/output/SheetStream.h"

#include "support/PrintTools.h"

#include <QBuffer>
#include <QPainter>

#include <cerrno>

#include <gtest/gtest.h>

using namespace vexilo;
using namespace vexilo::test;

namespace {

// Canvases whose every pixel tells its canvas, row and column apart; with `alpha`, a third
// of them half transparent and a third fully so.
class PatternCanvases final : public CanvasSource
{
public:
    PatternCanvases(qint32 count, QSize size, qint32 pitch, bool alpha = false)
        : m_count(count), m_size(size), m_pitch(pitch), m_alpha(alpha)
    {}
    qint32 canvasCount() const override { return m_count; }
    QSize canvasSize() const override { return m_size; }
    qint32 canvasPitch() const override { return m_pitch; }
    void drawCanvas(QImage &white, qint32 k, qint32 top) const override
    {
        for (int y = 0; y < white.height(); ++y)
            for (int x = 0; x < white.width(); ++x)
                if (const auto c = colour(k, x, y + top); c != 0 || !m_alpha)
                    white.setPixel(x, y, c == 0 ? 0xffffffffu : qPremultiply(c));
    }
    // The straight colour at canvas k's (x, y); 0 leaves the background.
    QRgb colour(qint32 k, int x, int y) const
    {
        if ((x + y) % 3 == 0)
            return 0;
        const int a = m_alpha && (x + y) % 3 == 1 ? 128 : 255;
        return qRgba(40 * (k + 1), (7 * y) % 256, (13 * x) % 256, a);
    }

private:
    qint32 m_count;
    QSize m_size;
    qint32 m_pitch;
    bool m_alpha;
};

QImage readPng(const QByteArray &bytes)
{
    return QImage::fromData(bytes, "PNG");
}

QByteArray wholePng(const CanvasSource &source, bool transparent = false)
{
    OutputOptions options;
    options.format = OutputFormat::Png;
    options.whole = true;
    options.dpi = 300;
    options.transparent = transparent;
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(writeWholePng(source, options, buffer));
    return buffer.data();
}

// The sheet painted at its own size, one device pixel a sheet pixel.
QImage paintedAtOwnSize(const CanvasSource &source)
{
    QImage page(source.canvasSize().width(), int(sheetHeight(source)), QImage::Format_RGB32);
    page.fill(Qt::black);
    QPainter painter(&page);
    EXPECT_TRUE(paintSheetPage(painter, source, QRectF(page.rect())));
    return page;
}

} // namespace

TEST(SheetStream, PngAndPageCarryTheWholeSheetsPixelsForEveryPitch)
{
    struct Case
    {
        const char *what;
        qint32 count;
        qint32 pitch;
    };
    const std::vector<Case> cases = {
        {"white between rows", 3, 70},   {"rows touching", 3, 50},
        {"rows overlapping", 4, 31},     {"rows stacked upwards", 3, -20},
        {"all rows at one place", 3, 0}, {"one row", 1, 50},
    };
    for (const Case &c : cases) {
        const PatternCanvases source(c.count, {37, 50}, c.pitch);
        const QImage expected = wholeSheet(source);
        ASSERT_FALSE(expected.isNull()) << c.what;
        const QImage png = readPng(wholePng(source));
        EXPECT_EQ(png.size(), expected.size()) << c.what;
        EXPECT_EQ(png.convertToFormat(QImage::Format_RGB32), expected) << c.what;
        EXPECT_EQ(png.dotsPerMeterX(), 11811) << c.what;
        EXPECT_EQ(paintedAtOwnSize(source), expected) << c.what;
    }
}

// Sheets beyond 32767 rows, which one image cannot hold, still go out whole.
TEST(SheetStream, ASheetTallerThanOneImageGoesOutAsPngAndPage)
{
    const PatternCanvases source(3, {23, 12000}, 13000);
    ASSERT_FALSE(wholeSheetFits(source));
    ASSERT_EQ(sheetHeight(source), 38000);
    QImage first(23, 12000, QImage::Format_RGB32);
    QImage last = first;
    first.fill(Qt::white);
    last.fill(Qt::white);
    source.drawCanvas(first, 0, 0);
    source.drawCanvas(last, 2, 0);

    const QImage png = readPng(wholePng(source)).convertToFormat(QImage::Format_RGB32);
    const QImage page = paintedAtOwnSize(source);
    for (const QImage &sheet : {png, page}) {
        ASSERT_EQ(sheet.size(), QSize(23, 38000));
        EXPECT_EQ(sheet.copy(0, 0, 23, 12000), first);
        EXPECT_EQ(sheet.copy(0, 26000, 23, 12000), last);
        QImage white(23, 1000, QImage::Format_RGB32);
        white.fill(Qt::white);
        EXPECT_EQ(sheet.copy(0, 12000, 23, 1000), white);
    }
}

TEST(SheetStream, ATransparentSheetKeepsItsAlpha)
{
    const PatternCanvases source(2, {30, 20}, 25, true);
    const QImage png = readPng(wholePng(source, true));
    ASSERT_TRUE(png.hasAlphaChannel());
    ASSERT_EQ(png.size(), QSize(30, 45));
    const QImage straight = png.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < 45; ++y)
        for (int x = 0; x < 30; ++x) {
            // Rows 20..24 lie between the canvases: nothing there.
            const qint32 k = y < 25 ? 0 : 1;
            const QRgb c = y >= 20 && y < 25 ? 0 : source.colour(k, x, y - 25 * k);
            const QRgb expected = c == 0 ? 0 : qUnpremultiply(qPremultiply(c));
            ASSERT_EQ(straight.pixel(x, y), expected) << x << "," << y;
        }
}

// A transparent page has no white under the sheet and its images carry their alpha.
TEST(SheetStream, ATransparentPdfPaintsNoWhite)
{
    TempAppFolder app;
    // The page's centre falls between the two canvases.
    const PatternCanvases source(2, {30, 20}, 400, true);
    for (const bool transparent : {false, true}) {
        OutputOptions options;
        options.format = OutputFormat::Pdf;
        options.transparent = transparent;
        const QString pdf = app.file(QStringLiteral("лист%1.pdf").arg(transparent));
        ASSERT_TRUE(writeSheet(source, {pdf}, options).ok);
        const QString list = run(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf});
        EXPECT_EQ(list.contains(QStringLiteral("smask")), transparent) << list.toStdString();
        // Rendered over nothing, the page shows white between the canvases only when opaque.
        const QString prefix = app.file(QStringLiteral("вид%1").arg(transparent));
        run(QStringLiteral("pdftocairo"),
            {QStringLiteral("-png"), QStringLiteral("-transp"), QStringLiteral("-r"),
             QStringLiteral("20"), pdf, prefix});
        const QImage page(prefix + QStringLiteral("-1.png"));
        ASSERT_FALSE(page.isNull());
        const QRgb centre = page.pixel(page.width() / 2, page.height() / 2);
        EXPECT_EQ(centre, transparent ? qRgba(0, 0, 0, 0) : qRgb(255, 255, 255));
    }
}

namespace {

// A device that takes only so many bytes, like a disk that fills up.
class FullDevice final : public QBuffer
{
public:
    explicit FullDevice(qint64 room) : m_room(room) { open(QIODevice::WriteOnly); }

protected:
    qint64 writeData(const char *data, qint64 length) override
    {
        if (size() + length > m_room)
            return -1;
        return QBuffer::writeData(data, length);
    }

private:
    qint64 m_room;
};

} // namespace

TEST(SheetStream, APngThatCannotBeWrittenWholeIsAFailure)
{
    const PatternCanvases source(3, {300, 200}, 220);
    OutputOptions options;
    options.format = OutputFormat::Png;
    for (const qint64 room : {qint64(0), qint64(40), qint64(5000)}) {
        FullDevice device(room);
        EXPECT_FALSE(writeWholePng(source, options, device)) << room;
    }
}

// A whole PNG or PDF that fails on its way to the disk, or is refused, leaves the file that was
// there.
TEST(SheetStream, AFailedWholeWriteKeepsTheOldFile)
{
    TempAppFolder app;
    const PatternCanvases source(3, {40, 30}, 35);
    for (const OutputFormat format : {OutputFormat::Png, OutputFormat::Pdf}) {
        OutputOptions options;
        options.format = format;
        options.whole = true;
        const QString name = QStringLiteral("лист") + outputExtension(format);
        app.write(name, "прежний");
        const SafeWriteResult failed =
            writeSheet(source, {app.file(name)}, options, [](SafeWriteStage stage) {
                return stage == SafeWriteStage::Write ? ENOSPC : 0;
            });
        EXPECT_FALSE(failed.ok);
        EXPECT_EQ(app.read(name), QByteArray("прежний"));
        ASSERT_TRUE(writeSheet(source, {app.file(name)}, options).ok);
        EXPECT_NE(app.read(name), QByteArray("прежний"));
    }
    // More rows than a PNG reader opens: refused before anything is written.
    const PatternCanvases tall(2, {1, 10}, 999995);
    const QByteArray before = app.read(QStringLiteral("лист.png"));
    OutputOptions png;
    png.format = OutputFormat::Png;
    const SafeWriteResult refused = writeSheet(tall, {app.file(QStringLiteral("лист.png"))}, png);
    EXPECT_FALSE(refused.ok);
    EXPECT_TRUE(refused.errorString.startsWith(QStringLiteral("Календарь получается слишком")))
        << refused.errorString.toStdString();
    EXPECT_EQ(app.read(QStringLiteral("лист.png")), before);
}
