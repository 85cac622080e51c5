#include "frmForma.h"

#include "compose/GlyphSet.h"
#include "compose/frmSelPapka.h"
#include "holidays/PrazdnikiFile.h"
#include "holidays/frmPrazdniki.h"
#include "platform/Platform.h"
#include "shell/Canvas.h"
#include "shell/Declare.h"
#include "shell/NumberBoxFilter.h"
#include "shell/OptionsForm.h"
#include "shell/WebLinks.h"
#include "shell/frmOprog.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>

#include <algorithm>
#include <utility>

namespace vexilo {

QFont designFont()
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPointSizeF(12);
    font.setBold(true);
    return font;
}

namespace {

QLabel *makeLabel(QWidget *parent, const QString &text, QRect geometry)
{
    auto *label = new QLabel(text, parent);
    label->setGeometry(geometry);
    return label;
}

QComboBox *makeList(QWidget *parent, const QStringList &items, QRect geometry)
{
    auto *list = new QComboBox(parent);
    list->addItems(items);
    list->setGeometry(geometry);
    return list;
}

QPushButton *makeButton(QWidget *parent, const QString &text, QRect geometry)
{
    auto *button = new QPushButton(text, parent);
    button->setGeometry(geometry);
    return button;
}

QWidget *makeColouredBox(QWidget *parent, QColor colour)
{
    auto *box = new QWidget(parent);
    QPalette palette = box->palette();
    palette.setColor(QPalette::Window, colour);
    box->setPalette(palette);
    box->setAutoFillBackground(true);
    return box;
}

} // namespace

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

    selXYMesyac = makeList(client,
                           {QStringLiteral("2 месяца в ряд"), QStringLiteral("3 месяца в ряд"),
                            QStringLiteral("4 месяца в ряд"), QStringLiteral("6 месяца в ряд")},
                           {0, 80, 153, 28});
    Label1 = makeLabel(client, QStringLiteral("Даты X:"), {160, 84, 68, 20});
    Label2 = makeLabel(client, QStringLiteral("Даты Y:"), {296, 84, 68, 20});
    Label3 = makeLabel(client, QStringLiteral("Месяцы X:"), {432, 84, 88, 20});
    Label4 = makeLabel(client, QStringLiteral("Месяцы Y:"), {584, 84, 88, 20});
    Label5 = makeLabel(client, QStringLiteral("Числа X:"), {0, 116, 76, 20});
    Label6 = makeLabel(client, QStringLiteral("Год:"), {144, 116, 38, 20});

    m_numberFilter = new NumberBoxFilter(this);
    const std::array<std::pair<const char *, QRect>, 6> boxes = {{
        {"10", {232, 80, 49, 28}},
        {"5", {368, 80, 49, 28}},
        {"20", {520, 80, 49, 28}},
        {"20", {672, 80, 49, 28}},
        {"3", {80, 112, 49, 28}},
        {"2013", {184, 112, 57, 28}},
    }};
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        auto *box = new QLineEdit(QString::fromLatin1(boxes[i].first), client);
        box->setGeometry(boxes[i].second);
        box->installEventFilter(m_numberFilter);
        txtRassttoyanie[i] = box;
    }

    selKolMesyacev = makeList(client, {QStringLiteral("Весь год"), QStringLiteral("1 месяц")},
                              {256, 112, 113, 28});
    selMesyac =
        makeList(client,
                 {QStringLiteral("Январь"), QStringLiteral("Февраль"), QStringLiteral("Март"),
                  QStringLiteral("Апрель"), QStringLiteral("Май"), QStringLiteral("Июнь"),
                  QStringLiteral("Июль"), QStringLiteral("Август"), QStringLiteral("Сентябрь"),
                  QStringLiteral("Октябрь"), QStringLiteral("Ноябрь"), QStringLiteral("Декабрь")},
                 {376, 112, 113, 28});
    // Nothing is chosen until the settings are restored.
    selKolMesyacev->setCurrentIndex(-1);
    selMesyac->setCurrentIndex(-1);
    selMesyac->setMaxVisibleItems(12);

    kNew = makeButton(client, QStringLiteral("Нарисовать"), {496, 112, 113, 33});
    kSave = makeButton(client, QStringLiteral("Сохранить"), {616, 112, 113, 33});
    kSave->setEnabled(false);

    picControl = new QFrame(client);
    picControl->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    picControl->setLineWidth(2);
    picControl->setGeometry(0, kBandHeight, 401, 409);
    // Children of the viewport live in its inner area, inside the sunken border.
    picControlInner = new QWidget(picControl);
    picControlInner->setGeometry(picControl->contentsRect());
    // Clicking the sheet gives it the keys that scroll it.
    picControlInner->setFocusPolicy(Qt::ClickFocus);
    picControlInner->installEventFilter(this);
    setViewportColour(QColor(128, 128, 128));
    // The canvases first, so the bars and the corner box stay above them.
    picRisunok[0] = new Canvas(picControlInner);
    picRisunok[0]->setGeometry(0, 0, 544, 64);
    picRisunok[0]->hide();

    VScroll1 = new QScrollBar(Qt::Vertical, picControlInner);
    VScroll1->setGeometry(96, 0, kBarSize, 81);
    VScroll1->hide();
    HScroll1 = new QScrollBar(Qt::Horizontal, picControlInner);
    HScroll1->setGeometry(0, 80, 81, kBarSize);
    HScroll1->hide();
    PctrUgol = makeColouredBox(picControlInner, QColor(192, 192, 192));
    PctrUgol->setGeometry(96, 80, kBarSize, kBarSize);
    PctrUgol->hide();

    connect(kNew, &QPushButton::clicked, this, &frmForma::kNew_Click);
    connect(kSave, &QPushButton::clicked, this, &frmForma::kSave_Click);
    connect(HScroll1, &QScrollBar::valueChanged, this, &frmForma::HScroll1_Change);
    connect(VScroll1, &QScrollBar::valueChanged, this, &frmForma::VScroll1_Change);
    HScroll1->installEventFilter(this);
    VScroll1->installEventFilter(this);
    connect(selKolMesyacev, &QComboBox::currentIndexChanged, this, &frmForma::selKolMesyacev_Click);

    // A window smaller than this would give the viewport or a bar no room at all.
    client->setMinimumSize(740, kBandHeight + 120);
    resize(784, 542 + menuBar()->sizeHint().height());
}

void frmForma::buildMenu()
{
    QMenu *menu = menuBar()->addMenu(QStringLiteral("Меню"));
    MenuSelPapka = menu->addAction(QStringLiteral("Выбор папки"));
    MenuSelPapka->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    MenuPrazdniki = menu->addAction(QStringLiteral("Ввод праздников"));
    menu->addSeparator();
    MenuExit = menu->addAction(QStringLiteral("Выход"));

    QMenu *help = menuBar()->addMenu(QStringLiteral("Справка"));
    HelpCall = help->addAction(QStringLiteral("Вызов справки"));
    HelpCall->setShortcut(QKeySequence(Qt::Key_F1));
    HelpOprog = help->addAction(QStringLiteral("О программе"));

    connect(MenuSelPapka, &QAction::triggered, this, &frmForma::MenuSelPapka_Click);
    connect(MenuPrazdniki, &QAction::triggered, this, &frmForma::MenuPrazdniki_Click);
    connect(MenuExit, &QAction::triggered, this, &frmForma::MenuExit_Click);
    connect(HelpCall, &QAction::triggered, this, &frmForma::HelpCall_Click);
    connect(HelpOprog, &QAction::triggered, this, &frmForma::HelpOprog_Click);
}

void frmForma::Form_Load()
{
    // The canvases 1..5 are copies of canvas 0: same size, white, hidden.
    for (std::size_t k = 1; k < picRisunok.size(); ++k) {
        picRisunok[k] = new Canvas(picControlInner);
        picRisunok[k]->setGeometry(picRisunok[0]->geometry());
        picRisunok[k]->hide();
    }
    VScroll1->raise();
    HScroll1->raise();
    PctrUgol->raise();
    for (Canvas *canvas : picRisunok) {
        canvas->resizeAndClear(canvas->width(), canvas->height());
        canvas->installEventFilter(this);
    }
    m_platform.processEvents();
    selXYMesyac->setCurrentIndex(1);
    for (qint32 d = 1; d <= 31; ++d)
        m_state.Chisla[static_cast<std::size_t>(d)] = d;
}

void frmForma::Form_Unload()
{
    SaveFile(*this, m_state, m_platform);
}

void frmForma::showEvent(QShowEvent *event)
{
    // The design size is that of the client area; the menu bar's height is known only now.
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
    // The sheet: its canvases, or the viewport around them.
    const bool sheet = watched == picControlInner ||
                       std::find(picRisunok.begin(), picRisunok.end(), watched) != picRisunok.end();
    if (sheet && scrollSheet(event))
        return true;
    // A scroll bar never keeps the focus: it goes on to the first canvas, or to "Нарисовать"
    // while nothing is drawn.
    if ((watched == HScroll1 || watched == VScroll1) && event->type() == QEvent::FocusIn) {
        if (picRisunok[0]->isVisible())
            picRisunok[0]->setFocus();
        else
            kNew->setFocus();
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmForma::Form_Resize()
{
    if (isMinimized())
        return;
    const QWidget *client = centralWidget();
    picControl->setGeometry(0, kBandHeight, client->width(), client->height() - kBandHeight);
    picControlInner->setGeometry(picControl->contentsRect());
    const int W = picControlInner->width();
    const int H = picControlInner->height();
    VScroll1->move(W - kBarSize, VScroll1->y());
    HScroll1->move(HScroll1->x(), H - kBarSize);
    PctrUgol->setGeometry(W - kBarSize, H - kBarSize, kBarSize, kBarSize);
    // Restoring a minimised window gives the viewport its old size back: the view stays put.
    if (m_state.KartinkiZagruzheny != 0 && QSize(W, H) != m_scrolledViewport)
        Prokrutka();
}

void frmForma::setViewportColour(QColor colour)
{
    for (QWidget *box : {static_cast<QWidget *>(picControl), picControlInner}) {
        QPalette palette = box->palette();
        palette.setColor(QPalette::Window, colour);
        box->setPalette(palette);
        box->setAutoFillBackground(true);
    }
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
    const bool sizeCheck = isSizeCheck(m_state.ProverkaRazmerov);
    // A name that leads out of the program's folder (from an edited settings file) is a
    // folder that is not there: nothing outside is read.
    const GlyphImages images = isGlyphFolderName(m_state.PapkaKartinok)
                                   ? readGlyphImages(folder, sizeCheck)
                                   : GlyphImages{};
    // The holders read before a failure keep the new images; the others keep the old ones.
    std::copy(images.digits.begin(), images.digits.end(), picChisla.begin());
    std::copy(images.weekdays.begin(), images.weekdays.end(), picDniNedeli.begin());
    if (!images.complete) {
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

    std::optional<RedVariants> red = buildRedVariants(images, sizeCheck, [&] {
        m_platform.processEvents();
        return !superseded();
    });
    if (!red)
        return;
    m_state.DniNedeli = std::move(red->DniNedeli);
    m_state.Tsifry = std::move(red->Tsifry);
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
    dialog.setFont(designFont());
    m_platform.execDialog(dialog);
}

void frmForma::MenuPrazdniki_Click()
{
    frmPrazdniki dialog(m_state.Prazdniki, m_state.paths.prazdnikiFile(), m_state.DniMesyaca,
                        txtRassttoyanie[5]->text(), m_platform, this);
    m_platform.execDialog(dialog);
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

} // namespace vexilo
