#include "frmForma.h"

#include "common/CalendarMath.h"
#include "common/NumberText.h"
#include "common/ProgramText.h"
#include "compose/frmSelPapka.h"
#include "compose/glyphs/GlyphSet.h"
#include "compose/output/SheetRender.h"
#include "holidays/PrazdnikiFile.h"
#include "holidays/frmPrazdniki.h"
#include "platform/PictureBox.h"
#include "platform/Platform.h"
#include "shell/Declare.h"
#include "shell/FormaControls.h"
#include "shell/NumberBoxFilter.h"
#include "shell/OptionsForm.h"
#include "shell/PrintSheet.h"
#include "shell/SaveSheetM.h"
#include "shell/SheetView.h"
#include "shell/UserSettings.h"
#include "shell/WebLinks.h"
#include "shell/frmOprog.h"
#include "shell/frmVidKalendarya.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QDate>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QWindowStateChangeEvent>

#include <algorithm>
#include <tuple>
#include <utility>

namespace vexilo {

frmForma::frmForma(Declare &state, Platform &platform, QWidget *parent)
    : QMainWindow(parent), m_state(state), m_platform(platform)
{
    setWindowTitle(applicationTitle());
    setFont(designFont());
    buildControls();
    buildMenu();
    Form_Load();
}

frmForma::~frmForma() = default;

void frmForma::buildControls()
{
    auto *client = new QWidget(this);
    setCentralWidget(client);
    client->installEventFilter(this);

    m_numberFilter = new NumberBoxFilter(this);
    static_cast<FormaControls &>(*this) = createFormaControls(client, m_numberFilter);

    picControl = new SheetView(m_state.KolRisunkov, client);
    picControl->setGeometry(0, kBandHeight, 401, 409);
    picControl->layoutInside();
    picControl->setFocusFallback(kNew);
    picControl->takeKeysOf(kNew);
    picControl->takeKeysOf(kSave);

    connect(kNew, &QPushButton::clicked, this, &frmForma::kNew_Click);
    connect(kSave, &QPushButton::clicked, this, &frmForma::kSave_Click);
    connect(selKolMesyacev, &QComboBox::currentIndexChanged, this, &frmForma::selKolMesyacev_Click);

    // A window smaller than this would give the viewport or a bar no room at all.
    client->setMinimumSize(740, kBandHeight + 120);
    resize(784, 542 + menuBar()->sizeHint().height());
}

void frmForma::buildMenu()
{
    addFormaMenu(*this, menuBar());
    connect(MenuSelPapka, &QAction::triggered, this, &frmForma::MenuSelPapka_Click);
    connect(MenuPrazdniki, &QAction::triggered, this, &frmForma::MenuPrazdniki_Click);
    connect(MenuVid, &QAction::triggered, this, &frmForma::MenuVid_Click);
    connect(MenuPechat, &QAction::triggered, this, &frmForma::MenuPechat_Click);
    connect(MenuExit, &QAction::triggered, this, &frmForma::MenuExit_Click);
    connect(HelpCall, &QAction::triggered, this, &frmForma::HelpCall_Click);
    connect(HelpOprog, &QAction::triggered, this, &frmForma::HelpOprog_Click);
}

void frmForma::Form_Load()
{
    picControl->createCanvases();
    m_platform.processEvents();
    selXYMesyac->setCurrentIndex(1);
    m_state.Chisla = standardDayNumbers();
    m_view = UserSettings(m_state.paths.settingsFile()).loadViewChoice();
    showViewLine();
}

void frmForma::Form_Unload()
{
    SaveFile(*this, m_state, m_platform);
}

void frmForma::showEvent(QShowEvent *event)
{
    // The fixed size is that of the client area; the menu bar's height is known only now.
    if (!m_shownOnce) {
        m_shownOnce = true;
        resize(784, 542 + height() - centralWidget()->height());
    }
    QMainWindow::showEvent(event);
}

void frmForma::closeEvent(QCloseEvent *event)
{
    Form_Unload();
    event->accept();
}

bool frmForma::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == centralWidget() && event->type() == QEvent::Resize)
        Form_Resize();
    return QMainWindow::eventFilter(watched, event);
}

void frmForma::Form_Resize()
{
    if (isMinimized())
        return;
    const QWidget *client = centralWidget();
    picControl->setGeometry(0, kBandHeight, client->width(), client->height() - kBandHeight);
    picControl->layoutInside();
    if (m_state.KartinkiZagruzheny != 0)
        picControl->Prokrutka();
}

void frmForma::changeEvent(QEvent *event)
{
    // Restoring a minimised window lays the viewport out again, as any resize does, even
    // when the window system hands back the same size and sends no resize.
    if (event->type() == QEvent::WindowStateChange &&
        (static_cast<QWindowStateChangeEvent *>(event)->oldState() & Qt::WindowMinimized) &&
        !isMinimized())
        Form_Resize();
    QMainWindow::changeEvent(event);
}

FormaInputs frmForma::inputs() const
{
    FormaInputs inputs;
    inputs.XYMesyac = selXYMesyac->currentIndex();
    for (std::size_t i = 0; i < txtRassttoyanie.size(); ++i)
        inputs.Rassttoyanie[i] = txtRassttoyanie[i]->text();
    inputs.KolMesyacev = selKolMesyacev->currentIndex();
    inputs.Mesyac = selMesyac->currentIndex();
    return inputs;
}

void frmForma::setInputs(const FormaInputs &inputs)
{
    selXYMesyac->setCurrentIndex(inputs.XYMesyac);
    for (std::size_t i = 0; i < txtRassttoyanie.size(); ++i)
        txtRassttoyanie[i]->setText(inputs.Rassttoyanie[i]);
    selKolMesyacev->setCurrentIndex(inputs.KolMesyacev);
    selMesyac->setCurrentIndex(inputs.Mesyac);
}

void frmForma::selKolMesyacev_Click()
{
    const int p = selKolMesyacev->currentIndex();
    if (p < 0) {
        selMesyac->show();
        Label4->show();
        txtRassttoyanie[3]->show();
        return;
    }
    selMesyac->setVisible(p == 1);
    Label4->setVisible(p == 0);
    txtRassttoyanie[3]->setVisible(p == 0);
}

void frmForma::kNew_Click()
{
    // Half-built red variants must never reach a sheet: draw once the load has finished them.
    if (m_buildingRedVariants) {
        m_drawWaiting = true;
        return;
    }
    emit drawCommandIssued();
    if (selKolMesyacev->currentIndex() == 0)
        RisovatGod();
    else
        RisovatMesyac();
}

void frmForma::OpenChisla(qint32 mode)
{
    const quint32 generation = ++m_loadGeneration;
    const auto superseded = [this, generation] { return generation != m_loadGeneration; };
    m_state.KartinkiZagruzheny = 0;
    const QString folder = m_state.paths.glyphFolder(m_state.PapkaKartinok);
    // A name leading out of the program's folder (an edited settings file) is a missing folder.
    const GlyphLoad images = isGlyphFolderName(m_state.PapkaKartinok)
                                 ? readGlyphImages(folder, isSizeCheck(m_state.ProverkaRazmerov))
                                 : GlyphLoad{};
    if (!images.complete) {
        // The holders read before the failure take the new images; the others and the red
        // variants stay as they were.
        m_glyphs = keptAfterFailure(images, m_state.ProverkaRazmerov, m_glyphs.get());
        m_buildingRedVariants = false;
        m_drawWaiting = false;
        m_platform.messageBox(QStringLiteral("Произошла ошибка при загрузке картинок."),
                              applicationTitle(), MsgIcon::Information, MsgButtons::Ok);
        return;
    }

    m_buildingRedVariants = true;
    m_state.KartinkiZagruzheny = -1;
    m_platform.processEvents();
    if (superseded()) // the newer load owns the state now
        return;
    m_state.Zagolovok =
        applicationTitle() + QStringLiteral(" - [") + m_state.PapkaKartinok + QStringLiteral("]");
    setWindowTitle(m_state.Zagolovok);

    SharedGlyphs built = buildGlyphSet(images, m_state.ProverkaRazmerov, m_glyphs, [&] {
        m_platform.processEvents();
        return !superseded();
    });
    if (!built)
        return;
    m_glyphs = std::move(built);
    m_buildingRedVariants = false;
    const bool drawWaiting = std::exchange(m_drawWaiting, false);

    m_platform.processEvents();
    if (superseded())
        return;
    if (mode == 1 || drawWaiting)
        kNew_Click();
}

void frmForma::MenuExit_Click()
{
    close();
}

void frmForma::MenuSelPapka_Click()
{
    frmSelPapka dialog(
        m_state.paths.glyphRoots(), m_state.PapkaKartinok, m_state.ProverkaRazmerov, m_platform,
        [this] { OpenChisla(1); }, this);
    dialog.setNewSetsFolder(m_state.paths.newGlyphSetsFolder());
    dialog.setFont(designFont());
    const UserSettings settings(m_state.paths.settingsFile());
    dialog.setFontStyleMemory(
        {[settings] { return settings.loadGlyphStyle(); },
         [settings](const GlyphStyle &style) { settings.saveGlyphStyle(style); },
         [settings] { return settings.loadGlyphFiles(); },
         [settings](MadeGlyphFiles files) { settings.saveGlyphFiles(files); }});
    m_platform.execDialog(dialog);
}

void frmForma::MenuPrazdniki_Click()
{
    openHolidays(txtRassttoyanie[5]->text());
}

void frmForma::openHolidays(const QString &yearText)
{
    frmPrazdniki dialog(m_state.Prazdniki, m_state.paths.prazdnikiFile(), m_state.DniMesyaca,
                        yearText, m_platform, this);
    const UserSettings settings(m_state.paths.settingsFile());
    dialog.setImportStartFolder(
        settings.loadImportFolder().value_or(m_state.paths.importStartFolder()));
    dialog.setImportFolderKeeper(
        [settings](const QString &folder) { settings.saveImportFolder(folder); });
    m_platform.execDialog(dialog);
}

void frmForma::MenuVid_Click()
{
    // The presets start from the year box; one out of the range gives way to this year.
    const qint32 windowYear = wholeNumber(txtRassttoyanie[5]->text()).value_or(0);
    frmVidKalendarya dialog(
        m_view, isCalendarYear(windowYear) ? windowYear : QDate::currentDate().year(), this);
    if (m_platform.execDialog(dialog) != QDialog::Accepted)
        return;
    m_view = dialog.choice();
    UserSettings(m_state.paths.settingsFile()).saveViewChoice(m_view);
    showViewLine();
}

void frmForma::showViewLine()
{
    const QString line = viewSummary(m_view);
    lblVid->setText(line);
    lblVid->setVisible(!line.isEmpty());
}

void frmForma::HelpCall_Click()
{
    OpenURL(m_platform, m_state.paths.helpPage());
}

void frmForma::HelpOprog_Click()
{
    frmOprog dialog(m_state, m_platform, this);
    m_platform.execDialog(dialog);
}

void frmForma::showInformation(const QString &text)
{
    m_platform.messageBox(text, applicationTitle(), MsgIcon::Information, MsgButtons::Ok);
}

void frmForma::setCommandsBusy(bool busy)
{
    // A disabled button hands its focus to the next control, where the arrow keys would
    // silently change the months per row: the sheet holds it meanwhile and gives it back.
    // The window's focus, not the application's: a window that is not active (behind another,
    // or with no window manager) still gives its keys to it once it is.
    if (busy) {
        QWidget *focused = focusWidget();
        m_focusBeforeBusy = focused == kNew || focused == kSave ? focused : nullptr;
        if (m_focusBeforeBusy != nullptr)
            picControl->takeFocus();
    }
    kNew->setEnabled(!busy);
    kSave->setEnabled(!busy);
    if (!busy && m_focusBeforeBusy != nullptr) {
        if (picControl->isAncestorOf(focusWidget()))
            m_focusBeforeBusy->setFocus();
        m_focusBeforeBusy = nullptr;
    }
    m_platform.setBusy(busy);
}

void frmForma::RisovatGod()
{
    drawSheet(0);
}

void frmForma::RisovatMesyac()
{
    drawSheet(std::max(selMesyac->currentIndex(), 0) + 1);
}

void frmForma::drawSheet(qint32 month)
{
    if (m_state.KartinkiZagruzheny == 0) {
        showInformation(QStringLiteral("Выберите папку с картинками."));
        MenuSelPapka_Click();
        return;
    }
    const CalendarView &view = m_view.view;
    // A period names its own first year; the year box is the described sheets'.
    if (view.period)
        month = 0;
    const std::optional<qint32> year =
        view.period ? view.period->year : wholeNumber(txtRassttoyanie[5]->text());
    if (!year || !isCalendarYear(*year)) {
        showInformation(yearRefusedMessage());
        return;
    }
    if (view.monthTitles != TitleAlign::None && m_glyphs && !m_glyphs->missingTitle.isEmpty()) {
        showInformation(QStringLiteral("В наборе нет названий месяцев: нет файла «%1».")
                            .arg(m_glyphs->missingTitle));
        return;
    }
    SheetRequest request{
        m_glyphs,
        {},
        *year,
        month,
        selXYMesyac->currentIndex(),
        {readNumber(txtRassttoyanie[0]->text()), readNumber(txtRassttoyanie[1]->text()),
         readNumber(txtRassttoyanie[2]->text()), readNumber(txtRassttoyanie[3]->text()),
         readNumber(txtRassttoyanie[4]->text())},
        m_state.Chisla};
    request.view = view;
    // Each month takes the marks of its own year: the first year without them is asked for.
    std::vector<qint32> years = shownYears(request);
    if (std::find(years.begin(), years.end(), *year) == years.end())
        years.insert(years.begin(), *year);
    for (const qint32 shown : years) {
        if (m_state.Prazdniki.NaytiGod(shown) < 0) {
            showInformation(QStringLiteral("Введите праздники."));
            openHolidays(QString::number(shown));
            return;
        }
    }
    // The marks of the request's year and of the others, as the store holds them now.
    const auto marksNow = [this, &years, year] {
        std::pair<clsPrazdniki, YearHolidays> marks;
        for (const qint32 shown : years) {
            const clsPrazdniki *found = m_state.Prazdniki.entry(m_state.Prazdniki.NaytiGod(shown));
            (shown == *year ? marks.first : marks.second[shown]) =
                found != nullptr ? *found : clsPrazdniki{};
        }
        return marks;
    };
    std::tie(request.holidays, request.otherYears) = marksNow();
    auto planned = Sheet::plan(std::move(request));
    // Sizes the program cannot hold change nothing, like the other refusals.
    if (const auto *error = std::get_if<SheetError>(&planned)) {
        showInformation(sheetErrorMessage(*error));
        return;
    }
    Sheet &sheet = std::get<Sheet>(planned);

    setCommandsBusy(true);
    m_state.DniMesyaca[2] = februaryLength(*year);
    m_state.KolRisunkov = sheet.geometry().KolRisunkov;
    m_shownSheet.reset();
    picControl->setViewportColour(Qt::white);
    picControl->placePages(sheet, month == 0);
    setWindowTitle(m_state.Zagolovok + sheet.caption());
    m_platform.processEvents();
    picControl->Prokrutka();

    // The events just run may have rebuilt the store: draw the years' marks as they are now.
    const auto [marks, otherYears] = marksNow();
    sheet.setHolidays(marks, otherYears);
    picControl->drawPages(sheet);
    m_shownSheet = sheet;
    MenuPechat->setEnabled(true);
    setCommandsBusy(false);
}

void frmForma::kSave_Click()
{
    const std::vector<DrawnCanvases> shown = picControl->drawnPages();
    const bool vectorSet = m_shownSheet && isVectorSet(*m_shownSheet);
    const std::optional<SaveTarget> target = askSaveTarget(
        m_platform, this, m_state.paths.saveStartFolder(),
        UserSettings(m_state.paths.settingsFile()), wholeSheetSize(shown.front()), vectorSet);
    if (!target)
        return;
    setCommandsBusy(true);
    saveShownSheet(m_platform, sheetPages(shown), m_shownSheet ? &*m_shownSheet : nullptr, *target,
                   m_state.Razdelitel);
    setCommandsBusy(false);
}

void frmForma::MenuPechat_Click()
{
    const std::vector<DrawnCanvases> shown = picControl->drawnPages();
    printShownSheet(m_platform, this, sheetPages(shown), m_shownSheet ? &*m_shownSheet : nullptr,
                    UserSettings(m_state.paths.settingsFile()));
}

} // namespace vexilo
