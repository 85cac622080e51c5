// End-to-end: the real vexilo-render against reference sheets made once from the window's
// export, and the window and the renderer drawing the same pixels.
#include "shell/Declare.h"
#include "shell/Main.h"
#include "shell/frmForma.h"
#include "support/FormaUi.h"

#include "compose/glyphs/GlyphSet.h"
#include "support/FakePlatform.h"
#include "support/TempAppFolder.h"

#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace vexilo;
using namespace vexilo::test;

namespace {

const QString kSet = QStringLiteral("Тест");

// Every glyph its own colour with a transparent frame, so a wrong glyph, a wrong place or a
// transparency that did not turn white all change pixels.
void writeSyntheticGlyphs(const QString &folder)
{
    QDir().mkpath(folder);
    for (int d = 0; d < 10; ++d) {
        QImage image(7, 11, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.fillRect(1, 1, 5, 9, QColor(20 * d + 15, 200 - 15 * d, (70 * d) % 256));
        painter.fillRect(1, 1 + d % 8, 2, 2, Qt::black);
        painter.end();
        image.save(folder + digitFileName(d), "PNG");
    }
    for (int w = 0; w < 7; ++w) {
        QImage image(15, 11, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.fillRect(0, 2, 15, 7, QColor(40 + 30 * w, 90, 160 - 20 * w));
        painter.fillRect(w * 2, 0, 2, 11, QColor(10, 10, 10));
        painter.end();
        image.save(folder + weekdayFileNames()[static_cast<std::size_t>(w)], "PNG");
    }
}

// 2013 with 1, 2 and 7 January, 8 March and 31 December marked.
const QByteArray kHolidays = "0\r\n2013\r\n3,1,2,7\r\n0\r\n1,8\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n"
                             "0\r\n0\r\n1,31\r\n\r\n";

struct GoldenCase
{
    QString name;
    int perRowIndex = 2;
    int month = 0; // 0: the whole year
    std::array<int, 5> spacings = {10, 5, 20, 20, 3};
    bool sizeCheck = false;
};

const std::vector<GoldenCase> &goldenCases()
{
    static const std::vector<GoldenCase> cases = {
        {QStringLiteral("year-2"), 0},
        {QStringLiteral("year-3"), 1},
        {QStringLiteral("year-4"), 2},
        {QStringLiteral("year-6"), 3},
        {QStringLiteral("month-3"), 2, 3},
        {QStringLiteral("size-check"), 2, 0, {10, 5, 20, 20, 3}, true},
        {QStringLiteral("spacings"), 1, 0, {4, 2, 7, 9, 1}},
        {QStringLiteral("month-spacings"), 0, 12, {0, 0, 3, 50, 6}},
    };
    return cases;
}

class Fixture
{
public:
    Fixture()
    {
        writeSyntheticGlyphs(app.path() + kSet + QLatin1Char('/'));
        app.write(QStringLiteral("Праздники.dat"), kHolidays);
    }

    // The sheet as the window draws and saves it.
    std::vector<QImage> windowExport(const GoldenCase &c)
    {
        Declare state;
        FakePlatform platform;
        auto form = Main(state, platform, app.path());
        state.PapkaKartinok = kSet;
        state.ProverkaRazmerov = c.sizeCheck ? 1 : 0;
        form->OpenChisla(0);
        ui(*form).selXYMesyac->setCurrentIndex(c.perRowIndex);
        ui(*form).selKolMesyacev->setCurrentIndex(c.month == 0 ? 0 : 1);
        ui(*form).selMesyac->setCurrentIndex(std::max(c.month - 1, 0));
        for (std::size_t i = 0; i < 5; ++i)
            ui(*form).txtRassttoyanie[i]->setText(QString::number(c.spacings[i]));
        ui(*form).txtRassttoyanie[5]->setText(QStringLiteral("2013"));
        form->kNew_Click();
        const QString out = app.path() + QStringLiteral("window-") + c.name;
        platform.saveNames.push_back(out);
        form->kSave_Click();
        EXPECT_TRUE(platform.messages.empty()) << platform.messages.front().text.toStdString();
        return readAll(out, state.KolRisunkov);
    }

    // The sheet as `vexilo-render` writes it.
    std::vector<QImage> rendererExport(const GoldenCase &c)
    {
        static const std::array<const char *, 4> perRow = {"2", "3", "4", "6"};
        static const std::array<const char *, 5> spacingOptions = {
            "--dates-x", "--dates-y", "--months-x", "--months-y", "--digits-x"};
        const QString out = app.path() + QStringLiteral("render-") + c.name;
        QStringList args = {QStringLiteral("-g"),
                            app.path() + kSet,
                            QStringLiteral("--holidays"),
                            app.file(QStringLiteral("Праздники.dat")),
                            QStringLiteral("-y"),
                            QStringLiteral("2013"),
                            QStringLiteral("-r"),
                            QLatin1String(perRow[static_cast<std::size_t>(c.perRowIndex)]),
                            QStringLiteral("-o"),
                            out};
        for (std::size_t i = 0; i < 5; ++i)
            args << QLatin1String(spacingOptions[i]) << QString::number(c.spacings[i]);
        if (c.month > 0)
            args << QStringLiteral("-m") << QString::number(c.month);
        if (c.sizeCheck)
            args << QStringLiteral("--size-check");
        QProcess process;
        process.start(QStringLiteral(VEXILO_APP_DIR "/vexilo-render"), args);
        EXPECT_TRUE(process.waitForFinished(60000));
        EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
        const QStringList lines = QString::fromUtf8(process.readAllStandardOutput())
                                      .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        return readAll(out, static_cast<qint32>(lines.size()) - 2);
    }

private:
    static std::vector<QImage> readAll(const QString &base, qint32 kolRisunkov)
    {
        std::vector<QImage> images;
        if (kolRisunkov <= 0) {
            images.push_back(QImage(base + QStringLiteral(".bmp")));
        } else {
            for (qint32 n = 1; n <= kolRisunkov + 1; ++n)
                images.push_back(QImage(base + QStringLiteral("_ряд%1.bmp").arg(n)));
        }
        for (QImage &image : images)
            image = image.convertToFormat(QImage::Format_RGB32);
        return images;
    }

    TempAppFolder app;
};

QString referencePath(const GoldenCase &c, std::size_t row)
{
    return QStringLiteral(VEXILO_TEST_DATA "/golden/%1-%2.png").arg(c.name).arg(row + 1);
}

// The differing pixels in red over a faded copy of the expected image.
QString writeDifference(const QString &name, const QImage &expected, const QImage &actual)
{
    // One folder per run, kept for the reader: runs side by side never overwrite each other.
    static const QString folder = [] {
        QTemporaryDir run(QDir::tempPath() + QStringLiteral("/vexilo-golden-diff-XXXXXX"));
        run.setAutoRemove(false);
        return run.path() + QLatin1Char('/');
    }();
    QImage diff = expected.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < diff.height(); ++y)
        for (int x = 0; x < diff.width(); ++x) {
            const bool same = x < actual.width() && y < actual.height() &&
                              actual.pixel(x, y) == expected.pixel(x, y);
            const QRgb p = expected.pixel(x, y);
            diff.setPixel(x, y,
                          same ? qRgb(128 + qRed(p) / 2, 128 + qGreen(p) / 2, 128 + qBlue(p) / 2)
                               : qRgb(255, 0, 0));
        }
    const QString path = folder + name + QStringLiteral("-diff.png");
    diff.save(path);
    actual.save(folder + name + QStringLiteral("-actual.png"));
    return path;
}

} // namespace

TEST(GoldenSheets, RendererMatchesTheReferenceSheetsPixelForPixel)
{
    Fixture fixture;
    const bool update = qEnvironmentVariableIsSet("VEXILO_UPDATE_GOLDEN");
    for (const GoldenCase &c : goldenCases()) {
        if (update) {
            const std::vector<QImage> window = fixture.windowExport(c);
            for (std::size_t row = 0; row < window.size(); ++row)
                ASSERT_TRUE(window[row].save(referencePath(c, row)));
        }
        const std::vector<QImage> rendered = fixture.rendererExport(c);
        ASSERT_FALSE(rendered.empty()) << c.name.toStdString();
        for (std::size_t row = 0; row < rendered.size(); ++row) {
            const QImage expected =
                QImage(referencePath(c, row)).convertToFormat(QImage::Format_RGB32);
            ASSERT_FALSE(expected.isNull())
                << "no reference " << referencePath(c, row).toStdString()
                << "; make them with VEXILO_UPDATE_GOLDEN=1";
            if (rendered[row] != expected) {
                const QString name = QStringLiteral("%1-%2").arg(c.name).arg(row + 1);
                ADD_FAILURE() << name.toStdString() << " differs; see "
                              << writeDifference(name, expected, rendered[row]).toStdString();
            }
        }
        EXPECT_TRUE(update || QImage(referencePath(c, rendered.size())).isNull())
            << c.name.toStdString() << " drew fewer rows than its reference";
    }
}

TEST(GoldenSheets, WindowAndRendererDrawTheSamePixels)
{
    Fixture fixture;
    for (const GoldenCase &c : goldenCases()) {
        const std::vector<QImage> window = fixture.windowExport(c);
        const std::vector<QImage> rendered = fixture.rendererExport(c);
        ASSERT_EQ(window.size(), rendered.size()) << c.name.toStdString();
        for (std::size_t row = 0; row < window.size(); ++row) {
            EXPECT_FALSE(window[row].isNull());
            EXPECT_EQ(window[row], rendered[row]) << c.name.toStdString() << " row " << row;
        }
    }
}
