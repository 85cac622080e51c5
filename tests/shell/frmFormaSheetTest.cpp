#include "shell/Declare.h"
#include "shell/Main.h"
#include "shell/UserSettings.h"
#include "shell/frmForma.h"
#include "support/FormaUi.h"

#include "common/SafeFile.h"
#include "holidays/PrazdnikiFile.h"
#include "support/FakePlatform.h"
#include "support/MainWindowTest.h"
#include "support/PrintTools.h"
#include "support/SaveFaults.h"
#include "support/TempAppFolder.h"
#include "support/TestGlyphs.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QLineEdit>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <cerrno>
#include <functional>

using namespace vexilo;
using namespace vexilo::test;

namespace {

const QString kTitle = QStringLiteral("Создатель календарей Vexilo");

class SheetWindowTest : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        // A loaded glyph set, made in memory.
        form->setGlyphs(glyphs.view());
        state.KartinkiZagruzheny = -1;
        state.Zagolovok = kTitle + QStringLiteral(" - [Тест]");
        ui(*form).selKolMesyacev->setCurrentIndex(0);
        ui(*form).selMesyac->setCurrentIndex(0);
    }

    void addYear(qint32 year)
    {
        state.Prazdniki.append();
        state.Prazdniki.entry(state.Prazdniki.KolGodov())->God = year;
    }

    void draw(const QString &year)
    {
        ui(*form).txtRassttoyanie[5]->setText(year);
        form->kNew_Click();
    }

    int shownCanvases() const
    {
        int shown = 0;
        for (const PictureBox *canvas : ui(*form).picRisunok)
            shown += canvas->isVisible() ? 1 : 0;
        return shown;
    }

    TestGlyphs glyphs;
};

} // namespace

TEST_F(SheetWindowTest, YearSheetShowsOneCanvasPerRowAndTheSizeInTheCaption)
{
    addYear(2013);
    ui(*form).selXYMesyac->setCurrentIndex(1);
    draw(QStringLiteral("2013"));
    ASSERT_TRUE(platform.messages.empty());
    EXPECT_EQ(form->windowTitle(), kTitle + QStringLiteral(" - [Тест] - Размер: 655x600"));
    EXPECT_EQ(shownCanvases(), 4);
    EXPECT_EQ(state.KolRisunkov, 3);
    EXPECT_EQ(ui(*form).picControl->shagRisunkov(), 155);
    EXPECT_EQ(ui(*form).picRisunok[2]->pos(), QPoint(0, 310));
    EXPECT_EQ(ui(*form).picRisunok[0]->image().pixel(53, 20), TestGlyphs::digitColour(1));
    EXPECT_TRUE(ui(*form).kSave->isEnabled());
    EXPECT_TRUE(ui(*form).kNew->isEnabled());
    EXPECT_EQ(platform.busyDepth, 0);
    EXPECT_EQ(state.DniMesyaca[2], 28);

    ui(*form).selXYMesyac->setCurrentIndex(3);
    draw(QStringLiteral("2013"));
    EXPECT_EQ(shownCanvases(), 2);
    ui(*form).selXYMesyac->setCurrentIndex(0);
    draw(QStringLiteral("2013"));
    EXPECT_EQ(shownCanvases(), 6);
}

TEST_F(SheetWindowTest, MonthSheetUsesOneCanvasAndNamesTheMonth)
{
    addYear(2013);
    ui(*form).selXYMesyac->setCurrentIndex(0);
    draw(QStringLiteral("2013"));
    ASSERT_EQ(shownCanvases(), 6);

    ui(*form).selKolMesyacev->setCurrentIndex(1);
    ui(*form).selMesyac->setCurrentIndex(11);
    draw(QStringLiteral("2013"));
    EXPECT_TRUE(form->windowTitle().endsWith(QStringLiteral(" - Декабрь")));
    ui(*form).selMesyac->setCurrentIndex(2);
    draw(QStringLiteral("2013"));
    EXPECT_EQ(form->windowTitle(), kTitle + QStringLiteral(" - [Тест] - Размер: 229x135 - Март"));
    EXPECT_EQ(state.KolRisunkov, 0);
    EXPECT_EQ(shownCanvases(), 1);
    EXPECT_EQ(ui(*form).picRisunok[0]->image().size(), QSize(228, 135));
    EXPECT_EQ(ui(*form).picRisunok[0]->image().pixel(160, 120), TestGlyphs::digitColour(3));
}

TEST_F(SheetWindowTest, ChecksComeInOrderAndChangeNothing)
{
    addYear(1000);
    addYear(9999);
    addYear(2000);
    // "Введите праздники." opens the editor, whose closing reloads the store from the file.
    app.write(QStringLiteral("Праздники.dat"), writePrazdniki(state.Prazdniki));
    state.KartinkiZagruzheny = 0;
    draw(QStringLiteral("2013"));
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, QStringLiteral("Выберите папку с картинками."));
    EXPECT_EQ(platform.messages[0].caption, kTitle);
    EXPECT_EQ(platform.messages[0].icon, MsgIcon::Information);
    EXPECT_EQ(shownCanvases(), 0);

    state.KartinkiZagruzheny = -1;
    for (const QString &year :
         {QStringLiteral("999"), QStringLiteral("10000"), QStringLiteral("99999999999999")}) {
        platform.messages.clear();
        draw(year);
        ASSERT_EQ(platform.messages.size(), 1u) << year.toStdString();
        EXPECT_EQ(platform.messages[0].text, QStringLiteral("Не зачем вам календарь этого года."));
    }
    platform.messages.clear();
    draw(QStringLiteral("2013"));
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, QStringLiteral("Введите праздники."));
    EXPECT_EQ(shownCanvases(), 0);
    EXPECT_FALSE(ui(*form).kSave->isEnabled());

    platform.messages.clear();
    draw(QStringLiteral("1000"));
    draw(QStringLiteral("9999"));
    EXPECT_TRUE(platform.messages.empty());
    draw(QStringLiteral("2000"));
    EXPECT_EQ(state.DniMesyaca[2], 29);
}

TEST_F(SheetWindowTest, AbsurdSpacingsAreRefusedAndThePreviousSheetStays)
{
    addYear(2013);
    draw(QStringLiteral("2013"));
    const QString caption = form->windowTitle();
    const QImage before = ui(*form).picRisunok[0]->image();
    ui(*form).txtRassttoyanie[1]->setText(QStringLiteral("2147483647"));
    draw(QStringLiteral("2013"));
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].caption, kTitle);
    EXPECT_EQ(platform.messages[0].icon, MsgIcon::Information);
    EXPECT_EQ(form->windowTitle(), caption);
    EXPECT_EQ(ui(*form).picRisunok[0]->image(), before);
    EXPECT_TRUE(ui(*form).kNew->isEnabled());
}

TEST_F(SheetWindowTest, ScrollingMovesEveryCanvasAndDrawingReturnsToTheOrigin)
{
    addYear(2013);
    ui(*form).selXYMesyac->setCurrentIndex(0); // six rows: taller than the viewport
    draw(QStringLiteral("2013"));
    ASSERT_TRUE(ui(*form).VScroll1->isVisibleTo(form.get()));
    const int content =
        5 * ui(*form).picControl->shagRisunkov() + ui(*form).picRisunok[5]->height();
    EXPECT_EQ(ui(*form).VScroll1->maximum(), content - ui(*form).VScroll1->height());
    ui(*form).VScroll1->setValue(100);
    EXPECT_EQ(ui(*form).picRisunok[0]->y(), -100);
    EXPECT_EQ(ui(*form).picRisunok[3]->y(), 3 * ui(*form).picControl->shagRisunkov() - 100);
    draw(QStringLiteral("2013"));
    EXPECT_EQ(ui(*form).VScroll1->value(), 0);
    EXPECT_EQ(ui(*form).picRisunok[3]->y(), 3 * ui(*form).picControl->shagRisunkov());
}

TEST_F(SheetWindowTest, SaveWritesOneBmpPerCanvasPixelForPixel)
{
    addYear(2013);
    ui(*form).selXYMesyac->setCurrentIndex(2); // three rows
    ASSERT_TRUE(state.Prazdniki.entry(0)->AddPrazdnik(1, 1));
    draw(QStringLiteral("2013"));
    platform.saveNames.push_back(app.file(QStringLiteral("год.txt")));
    form->kSave_Click();
    EXPECT_EQ(platform.saveStartFolder, app.path());
    EXPECT_EQ(
        platform.saveFilters,
        (QStringList{QStringLiteral("Рисунок (*.bmp)"), QStringLiteral("Рисунок PNG (*.png)"),
                     QStringLiteral("Документ PDF (*.pdf)"), QStringLiteral("Рисунок SVG (*.svg)"),
                     QStringLiteral("All Files (*.*)")}));
    for (int n = 1; n <= 3; ++n) {
        const QString path = app.file(QStringLiteral("год_ряд%1.bmp").arg(n));
        QImageReader reader(path);
        EXPECT_EQ(reader.format(), QByteArray("bmp"));
        const QImage saved = reader.read().convertToFormat(QImage::Format_RGB32);
        EXPECT_EQ(saved, ui(*form).picRisunok[static_cast<std::size_t>(n - 1)]->image()) << n;
    }
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_TRUE(ui(*form).kSave->isEnabled());
    EXPECT_EQ(platform.busyDepth, 0);

    // Cancelling writes nothing and leaves the buttons alone.
    form->kSave_Click();
    EXPECT_TRUE(ui(*form).kSave->isEnabled());
}

TEST_F(SheetWindowTest, PngAndPdfAskTheirOptionsRememberThemAndPrintingPreviewsTheSheet)
{
    addYear(2013);
    ui(*form).selXYMesyac->setCurrentIndex(2); // three rows
    QList<QAction *> print;
    for (QAction *action : form->findChildren<QAction *>())
        if (action->text() == QStringLiteral("Печать…"))
            print.append(action);
    ASSERT_EQ(print.size(), 1);
    EXPECT_FALSE(print[0]->isEnabled()); // nothing drawn yet
    draw(QStringLiteral("2013"));
    EXPECT_TRUE(print[0]->isEnabled());
    EXPECT_EQ(print[0]->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_P));

    const auto answer = [this](const QString &paper, bool landscape, int dpi, bool whole) {
        platform.dialogHandlers.push_back([=](QDialog &dialog) {
            dialog.findChild<QComboBox *>(QStringLiteral("selBumaga"))->setCurrentText(paper);
            dialog.findChild<QComboBox *>(QStringLiteral("selOrientatsiya"))
                ->setCurrentText(landscape ? QStringLiteral("Альбомная")
                                           : QStringLiteral("Книжная"));
            dialog.findChild<QSpinBox *>(QStringLiteral("txtDpi"))->setValue(dpi);
            dialog.findChild<QCheckBox *>(QStringLiteral("chTselikom"))->setChecked(whole);
            dialog.accept();
        });
    };
    // PNG, the whole sheet in one file at 300 dpi; the extension is the type's.
    platform.saveNames.push_back(app.file(QStringLiteral("лист.bmp")));
    platform.saveFilterChoices.push_back(1);
    answer(QStringLiteral("A4"), false, 300, true);
    form->kSave_Click();
    const QImage png(app.file(QStringLiteral("лист.png")));
    EXPECT_EQ(png.dotsPerMeterX(), 11811);
    const auto &canvases = ui(*form).picRisunok;
    EXPECT_EQ(png.height(), 2 * ui(*form).picControl->shagRisunkov() + canvases[2]->height());
    EXPECT_EQ(png.copy(0, ui(*form).picControl->shagRisunkov(), png.width(), canvases[1]->height())
                  .convertToFormat(QImage::Format_RGB32),
              canvases[1]->image());

    // PDF on A3 landscape; the choice is remembered for the next time.
    platform.saveNames.push_back(app.file(QStringLiteral("лист")));
    platform.saveFilterChoices.push_back(2);
    answer(QStringLiteral("A3"), true, 150, true);
    form->kSave_Click();
    EXPECT_TRUE(QFileInfo(app.file(QStringLiteral("лист.pdf"))).size() > 0);
    const UserSettings remembered(state.paths.settingsFile());
    EXPECT_EQ(remembered.loadOutputOptions().paper, QPageSize::A3);
    EXPECT_EQ(remembered.loadOutputOptions().dpi, 150);

    // A cancelled options dialog writes nothing.
    platform.saveNames.push_back(app.file(QStringLiteral("отмена")));
    platform.saveFilterChoices.push_back(2);
    form->kSave_Click();
    EXPECT_FALSE(QFileInfo::exists(app.file(QStringLiteral("отмена.pdf"))));
    EXPECT_TRUE(platform.messages.empty());

    // Ctrl+P's preview paints the page through the printer.
    bool painted = false;
    platform.dialogHandlers.push_back([&painted](QDialog &dialog) {
        auto &preview = dynamic_cast<QPrintPreviewDialog &>(dialog);
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QDir::temp().filePath(QStringLiteral("vexilo-preview.pdf")));
        emit preview.paintRequested(&printer);
        painted = QFileInfo(printer.outputFileName()).size() > 0;
        dialog.reject();
    });
    print[0]->trigger();
    EXPECT_TRUE(painted);
    EXPECT_TRUE(platform.dialogsShown.contains(QStringLiteral("printPreview")));
}

TEST_F(SheetWindowTest, AFailedBmpNamesTheFileWritesNoRowAndRestoresTheButtons)
{
    addYear(2013);
    ui(*form).selXYMesyac->setCurrentIndex(2);
    draw(QStringLiteral("2013"));
    app.makeFolder(QStringLiteral("лист_ряд2.bmp")); // a folder where the second file goes
    platform.saveNames.push_back(app.file(QStringLiteral("лист")));
    form->kSave_Click();
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_TRUE(platform.messages[0].text.contains(app.file(QStringLiteral("лист_ряд2.bmp"))));
    EXPECT_EQ(platform.messages[0].icon, MsgIcon::Critical);
    EXPECT_FALSE(QFile::exists(app.file(QStringLiteral("лист_ряд1.bmp"))));
    EXPECT_TRUE(ui(*form).kSave->isEnabled());
    EXPECT_TRUE(ui(*form).kNew->isEnabled());
    EXPECT_EQ(platform.busyDepth, 0);
}

TEST_F(SheetWindowTest, ADiskFullHalfWayReplacesNoRow)
{
    addYear(2013);
    ui(*form).selXYMesyac->setCurrentIndex(2); // three rows
    draw(QStringLiteral("2013"));
    app.write(QStringLiteral("лист_ряд2.bmp"), "an older picture");
    platform.saveNames.push_back(app.file(QStringLiteral("лист.bmp")));
    app.write(QStringLiteral("лист_ряд1.bmp"), "an older first row");
    platform.saveHook = failAt(SafeWriteStage::Write, ENOSPC, 1);
    form->kSave_Click();

    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text,
              QStringLiteral("На диске не осталось свободного места.\nФайл «%1» сохранить не "
                             "возможно.")
                  .arg(app.file(QStringLiteral("лист_ряд2.bmp"))));
    EXPECT_EQ(app.read(QStringLiteral("лист_ряд1.bmp")), QByteArray("an older first row"));
    EXPECT_EQ(app.read(QStringLiteral("лист_ряд2.bmp")), QByteArray("an older picture"));
    EXPECT_FALSE(QFile::exists(app.file(QStringLiteral("лист_ряд3.bmp"))));
    EXPECT_EQ(QDir(app.path()).entryList({QStringLiteral(".*")}, QDir::Files | QDir::Hidden),
              QStringList()); // no temporary file left behind
    EXPECT_TRUE(ui(*form).kSave->isEnabled());
    EXPECT_TRUE(ui(*form).kNew->isEnabled());
    EXPECT_EQ(platform.busyDepth, 0);
}

TEST_F(SheetWindowTest, AFolderThatIsNotThereIsNamedBeforeAnythingIsWritten)
{
    addYear(2013);
    draw(QStringLiteral("2013"));
    platform.saveNames.push_back(app.file(QStringLiteral("нет/лист.bmp")));
    form->kSave_Click();
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text,
              QStringLiteral("Папка «%1» не найдена.").arg(app.file(QStringLiteral("нет"))));
    EXPECT_EQ(platform.messages[0].icon, MsgIcon::Critical);
    EXPECT_EQ(platform.busyDepth, 0);
    EXPECT_TRUE(ui(*form).kSave->isEnabled());
}

TEST_F(SheetWindowTest, DrawingAndSavingKeepTheFocusOnTheirButton)
{
    addYear(2013);
    ui(*form).txtRassttoyanie[5]->setText(QStringLiteral("2013"));
    const int perRow = ui(*form).selXYMesyac->currentIndex();
    // Active, and not: a window behind another (or with no window manager) keeps its focus too.
    for (const bool active : {true, false}) {
        QApplication::setActiveWindow(active ? form.get() : nullptr);
        QTest::mouseClick(ui(*form).kNew, Qt::LeftButton);
        ASSERT_TRUE(ui(*form).kSave->isEnabled()); // the sheet was drawn
        EXPECT_EQ(form->focusWidget(), ui(*form).kNew) << active;
        // Arrow keys on a command scroll the sheet; they never walk on to the list.
        const int top = ui(*form).VScroll1->value();
        for (const Qt::Key key : {Qt::Key_Down, Qt::Key_Right, Qt::Key_Down, Qt::Key_Down,
                                  Qt::Key_Left, Qt::Key_Up, Qt::Key_Down, Qt::Key_Down})
            QTest::keyClick(form->focusWidget(), key);
        EXPECT_EQ(form->focusWidget(), ui(*form).kNew) << active;
        EXPECT_EQ(ui(*form).selXYMesyac->currentIndex(), perRow) << active;
        if (ui(*form).VScroll1->isVisible()) {
            EXPECT_GT(ui(*form).VScroll1->value(), top) << active;
        }
    }

    QApplication::setActiveWindow(form.get());
    platform.saveNames.push_back(app.file(QStringLiteral("лист.bmp")));
    QTest::mouseClick(ui(*form).kSave, Qt::LeftButton);
    EXPECT_EQ(QApplication::focusWidget(), ui(*form).kSave);
}

TEST_F(SheetWindowTest, WheelAndKeysOverTheSheetMoveTheScrollBars)
{
    addYear(2013);
    QApplication::setActiveWindow(form.get());
    form->resize(740, 300); // small enough for both bars
    QApplication::processEvents();
    ui(*form).selXYMesyac->setCurrentIndex(3);
    draw(QStringLiteral("2013"));
    QScrollBar *v = ui(*form).VScroll1;
    QScrollBar *h = ui(*form).HScroll1;
    ASSERT_FALSE(v->isHidden());
    ASSERT_FALSE(h->isHidden());
    PictureBox *sheet = ui(*form).picRisunok[0];
    QTest::mouseClick(sheet, Qt::LeftButton);
    ASSERT_EQ(QApplication::focusWidget(), sheet);

    const auto wheel = [&](QPoint delta, Qt::KeyboardModifiers modifiers) {
        QWheelEvent event(QPointF(5, 5), sheet->mapToGlobal(QPointF(5, 5)), QPoint(), delta,
                          Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
        QApplication::sendEvent(sheet, &event);
    };
    const auto key = [&](Qt::Key k) { QTest::keyClick(QApplication::focusWidget(), k); };
    const int vStep = v->singleStep();
    const int hStep = h->singleStep();
    const struct
    {
        std::function<void()> act;
        int v;
        int h;
        const char *what;
    } cases[] = {
        {[&] {
             wheel({0, -120}, Qt::NoModifier);
         },
         vStep, 0, "wheel down"},
        {[&] {
             wheel({0, -120}, Qt::ShiftModifier);
         },
         vStep, hStep, "shift+wheel"},
        {[&] {
             wheel({0, 120}, Qt::NoModifier);
         },
         0, hStep, "wheel up"},
        {[&] { key(Qt::Key_Down); }, vStep, hStep, "down"},
        {[&] { key(Qt::Key_Left); }, vStep, 0, "left"},
        {[&] { key(Qt::Key_PageDown); }, std::min(vStep + v->pageStep(), v->maximum()), 0,
         "page down"},
        {[&] { key(Qt::Key_End); }, v->maximum(), 0, "end"},
        {[&] { key(Qt::Key_Home); }, 0, 0, "home"},
    };
    for (const auto &c : cases) {
        c.act();
        EXPECT_EQ(v->value(), c.v) << c.what;
        EXPECT_EQ(h->value(), c.h) << c.what;
        EXPECT_EQ(sheet->pos(), QPoint(-c.h, -c.v)) << c.what;
    }
}

TEST_F(SheetWindowTest, RestoringAndResizingLayTheViewOutAgainFromTheOrigin)
{
    addYear(2013);
    ui(*form).selXYMesyac->setCurrentIndex(0);
    draw(QStringLiteral("2013"));
    const auto scrolledAway = [&] {
        ui(*form).VScroll1->setValue(60);
        ASSERT_EQ(ui(*form).picRisunok[1]->y(), ui(*form).picControl->shagRisunkov() - 60);
    };
    scrolledAway();
    form->showMinimized();
    QApplication::processEvents();
    EXPECT_EQ(ui(*form).VScroll1->value(), 60); // nothing is laid out while minimised
    form->showNormal();
    QApplication::processEvents();
    EXPECT_EQ(ui(*form).VScroll1->value(), 0);
    EXPECT_EQ(ui(*form).picRisunok[1]->y(), ui(*form).picControl->shagRisunkov());

    scrolledAway();
    form->resize(form->width() + 40, form->height() + 40);
    QApplication::processEvents();
    EXPECT_EQ(ui(*form).VScroll1->value(), 0);
}

TEST_F(SheetWindowTest, AnSvgSetSavesAsVectorsAndSharperPixelsAndPrintsFromItsDrawings)
{
    const GlyphLoad set = loadGlyphSet(writeSvgGlyphs(app), 0);
    ASSERT_TRUE(set.complete);
    form->setGlyphs(set.set);
    addYear(2013);
    draw(QStringLiteral("2013"));
    const int shownWidth = ui(*form).picRisunok[0]->image().width();
    const auto save = [this](const char *name, int filter, int dpi) {
        platform.saveNames.push_back(app.file(QString::fromUtf8(name)));
        platform.saveFilterChoices.push_back(filter);
        platform.dialogHandlers.push_back([dpi](QDialog &dialog) {
            if (auto *resolution = dialog.findChild<QSpinBox *>(QStringLiteral("txtDpi")))
                resolution->setValue(dpi);
            if (auto *whole = dialog.findChild<QCheckBox *>(QStringLiteral("chTselikom")))
                whole->setChecked(true);
            dialog.accept();
        });
        form->kSave_Click();
    };
    save("вектор", 3, 96);
    save("страница", 2, 96);
    save("точки", 1, 192);
    EXPECT_TRUE(platform.messages.empty());

    const QByteArray svg = app.read(QStringLiteral("вектор.svg"));
    EXPECT_TRUE(svg.contains("<path") && !svg.contains("<image")) << svg.left(300).constData();
    EXPECT_TRUE(
        pdfImages(app.file(QStringLiteral("страница.pdf")), app.file(QStringLiteral("p"))).empty());
    EXPECT_NEAR(QImage(app.file(QStringLiteral("точки.png"))).width(), 2 * shownWidth, 4);

    // The printed page carries the drawings at a printer's resolution.
    const QString printed = app.file(QStringLiteral("печать.pdf"));
    platform.dialogHandlers.push_back([&printed](QDialog &dialog) {
        auto &preview = dynamic_cast<QPrintPreviewDialog &>(dialog);
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(printed);
        emit preview.paintRequested(&printer);
        dialog.reject();
    });
    form->MenuPechat_Click();
    const std::vector<QImage> rows = pdfImages(printed, app.file(QStringLiteral("r")));
    ASSERT_FALSE(rows.empty());
    EXPECT_NEAR(rows.front().width(), shownWidth * 300 / 96, 8);
}

TEST_F(SheetWindowTest, AnSvgSheetTooLargeAtTheChosenResolutionIsRefusedBeforeItIsRendered)
{
    const GlyphLoad set = loadGlyphSet(writeSvgGlyphs(app), 0);
    ASSERT_TRUE(set.complete);
    form->setGlyphs(set.set);
    addYear(2013);
    ui(*form).txtRassttoyanie[2]->setText(QStringLiteral("6000")); // «Месяцы X»: over 12000 wide
    draw(QStringLiteral("2013"));
    const int shownWidth = ui(*form).picRisunok[0]->image().width();
    ASSERT_GT(shownWidth, 12000);
    const auto expectRefusal = [this](int dpi, int width) {
        ASSERT_EQ(platform.messages.size(), 1U);
        const QString text = platform.messages.front().text;
        EXPECT_TRUE(text.startsWith(
            QStringLiteral("При %1 точках на дюйм лист получается слишком большим (%2 × ")
                .arg(dpi)
                .arg(width)))
            << text.toStdString();
        EXPECT_TRUE(text.endsWith(QStringLiteral(" точек). Уменьшите разрешение.")));
        platform.messages.clear();
    };

    platform.saveNames.push_back(app.file(QStringLiteral("крупно")));
    platform.saveFilterChoices.push_back(1);
    platform.dialogHandlers.push_back([](QDialog &dialog) {
        dialog.findChild<QSpinBox *>(QStringLiteral("txtDpi"))->setValue(600);
        dialog.accept();
    });
    form->kSave_Click();
    expectRefusal(600, qRound(shownWidth * 6.25));
    EXPECT_TRUE(QDir(app.path()).entryList({QStringLiteral("*.png")}).isEmpty());

    form->MenuPechat_Click(); // at a printer's 300 dpi
    expectRefusal(300, qRound(shownWidth * 3.125));
    EXPECT_FALSE(platform.dialogsShown.contains(QStringLiteral("printPreview")));
}
