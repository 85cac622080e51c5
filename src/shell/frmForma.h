#pragma once

#include <QImage>
#include <QMainWindow>

#include <array>

class QAction;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;

namespace vexilo {

struct Declare;
class Canvas;
class NumberBoxFilter;
class Platform;

// The main window: the inputs of a sheet, the two commands and the canvas viewport below.
// Controls keep their design names so handlers read like the program's description.
class frmForma : public QMainWindow
{
    Q_OBJECT
public:
    frmForma(Declare &state, Platform &platform, QWidget *parent = nullptr);
    ~frmForma() override;

    static constexpr int kBandHeight = 152; // the command band above the viewport
    static constexpr int kBarSize = 17;

    // Controls, by their design names.
    QComboBox *selXYMesyac = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label3 = nullptr;
    QLabel *Label4 = nullptr;
    QLabel *Label5 = nullptr;
    QLabel *Label6 = nullptr;
    std::array<QLineEdit *, 6> txtRassttoyanie{};
    QComboBox *selKolMesyacev = nullptr;
    QComboBox *selMesyac = nullptr;
    QPushButton *kNew = nullptr;
    QPushButton *kSave = nullptr;
    QFrame *picControl = nullptr;
    QWidget *picControlInner = nullptr; // the viewport's area inside its border
    QScrollBar *VScroll1 = nullptr;
    QScrollBar *HScroll1 = nullptr;
    QWidget *PctrUgol = nullptr;
    std::array<Canvas *, 6> picRisunok{};
    // The glyph holders: images at their natural size, never shown.
    std::array<QImage, 10> picChisla;
    std::array<QImage, 7> picDniNedeli;

    QAction *MenuSelPapka = nullptr;
    QAction *MenuPrazdniki = nullptr;
    QAction *MenuExit = nullptr;
    QAction *HelpCall = nullptr;
    QAction *HelpOprog = nullptr;

    qint32 ShagRisunkov = 0; // vertical pitch of the canvases

    // Handlers.
    void kNew_Click();
    void selKolMesyacev_Click();
    void MenuExit_Click();
    void MenuSelPapka_Click();
    void MenuPrazdniki_Click();
    void HelpCall_Click();
    void HelpOprog_Click();
    void Form_Resize();

    void setViewportColour(QColor colour);

    // Loads the glyph set named by PapkaKartinok; mode 1 then draws.
    void OpenChisla(qint32 mode);
    // While a set's red variants are built, a draw command waits until they are complete.
    bool buildingRedVariants() const { return m_buildingRedVariants; }

signals:
    // The draw command runs: "Нарисовать", a folder choice, or a draw that waited for a load.
    void drawCommandIssued();

public:
    void RisovatGod();
    void RisovatMesyac();
    void Prokrutka();
    void kSave_Click();
    // The save dialog (saveMode non-zero) with the caller's filter and "All Files (*.*)",
    // starting in the application folder; empty when cancelled.
    QString apiOpenSave(qint16 saveMode, const QString &initialName, const QString &filter);
    void HScroll1_Change(int value);
    void VScroll1_Change(int value);

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Both sheets: the checks, the canvases, the caption and the drawing; month 0 = a year.
    void drawSheet(qint32 month);
    void showInformation(const QString &text);
    // The highest canvas index in use, kept within the six canvases.
    qint32 lastCanvas() const;
    void setCommandsBusy(bool busy);
    // Wheel and keys over the sheet move it through the scroll bars; true when used.
    bool scrollSheet(QEvent *event);

    void buildControls();
    void buildMenu();
    void Form_Load();
    void Form_Unload();

    Declare &m_state;
    Platform &m_platform;
    NumberBoxFilter *m_numberFilter = nullptr;
    bool m_shownOnce = false;
    // A load lets events run, so the user can start another one meanwhile: only the newest
    // load may finish.
    quint32 m_loadGeneration = 0;
    bool m_buildingRedVariants = false;
    bool m_drawWaiting = false;
    QWidget *m_focusBeforeBusy = nullptr; // the command that had the focus when it started
    QSize m_scrolledViewport;             // the viewport size the bars were last set for
};

// The window font: the design font was a bitmap sans serif of 12 points, bold.
QFont designFont();

} // namespace vexilo
