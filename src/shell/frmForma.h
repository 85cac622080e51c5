#pragma once

#include "compose/output/SheetRender.h"
#include "shell/FormaControls.h"
#include "shell/ViewChoice.h"

#include <QImage>
#include <QMainWindow>

#include <array>
#include <optional>

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace vexilo {

struct Declare;
class NumberBoxFilter;
class Platform;
class SheetView;

// What the main window's controls hold, as the settings file keeps it.
struct FormaInputs
{
    int XYMesyac = -1;                   // months-per-row list index
    std::array<QString, 6> Rassttoyanie; // texts of the five spacing boxes and the year
    int KolMesyacev = -1;                // period list index: 0 the year, 1 a month
    int Mesyac = -1;                     // month list index
};

// The main window: the inputs of a sheet, the two commands and the canvas viewport below.
// The controls are private and carry their names as object names too; everything else reaches
// what they hold through inputs() and setInputs().
class frmForma : public QMainWindow, private FormaControls
{
    Q_OBJECT
public:
    frmForma(Declare &state, Platform &platform, QWidget *parent = nullptr);
    ~frmForma() override;

    static constexpr int kBandHeight = 152; // the command band above the viewport

    FormaInputs inputs() const;
    // In the order the settings file restores them; setting the period runs the period rule.
    void setInputs(const FormaInputs &inputs);

    // The loaded glyph set (the holders, their red variants and their ink); empty before the
    // first load. Each sheet keeps the set it was drawn from.
    const SharedGlyphs &glyphs() const { return m_glyphs; }
    // Takes a set loaded elsewhere, as a finished load leaves it.
    void setGlyphs(SharedGlyphs glyphs) { m_glyphs = std::move(glyphs); }

    // Handlers.
    void kNew_Click();
    void selKolMesyacev_Click();
    void MenuExit_Click();
    void MenuSelPapka_Click();
    void MenuPrazdniki_Click();
    // «Вид календаря…»: the period, pages and layout, remembered in the settings file.
    void MenuVid_Click();
    const ViewChoice &viewChoice() const { return m_view; }
    // Print preview of the drawn sheet; enabled once a sheet is drawn.
    void MenuPechat_Click();
    void HelpCall_Click();
    void HelpOprog_Click();
    void Form_Resize();

    // Loads the glyph set named by PapkaKartinok; mode 1 then draws.
    void OpenChisla(qint32 mode);
    // While a set's red variants are built, a draw command waits until they are complete.
    bool buildingRedVariants() const { return m_buildingRedVariants; }

    void RisovatGod();
    void RisovatMesyac();
    void kSave_Click();

signals:
    // The draw command runs: "Нарисовать", a folder choice, or a draw that waited for a load.
    void drawCommandIssued();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Both sheets: the checks, the canvases, the caption and the drawing; month 0 = a year.
    void drawSheet(qint32 month);
    void showInformation(const QString &text);
    // The holiday editor, opened on the year of `yearText`.
    void openHolidays(const QString &yearText);
    void showViewLine();
    void setCommandsBusy(bool busy);

    void buildControls();
    void buildMenu();
    void Form_Load();
    void Form_Unload();

    Declare &m_state;
    Platform &m_platform;

    SheetView *picControl = nullptr;

    NumberBoxFilter *m_numberFilter = nullptr;
    bool m_shownOnce = false;
    // A load lets events run, so the user can start another one meanwhile: only the newest
    // load may finish.
    quint32 m_loadGeneration = 0;
    bool m_buildingRedVariants = false;
    bool m_drawWaiting = false;
    QWidget *m_focusBeforeBusy = nullptr; // the command that had the focus when it started
    SharedGlyphs m_glyphs;
    // The sheet the canvases show, once drawn: files that need the glyphs draw it again.
    std::optional<Sheet> m_shownSheet;
    ViewChoice m_view;
};

} // namespace vexilo
