#include "frmOprog.h"

#include "common/ProgramText.h"
#include "common/Version.h"
#include "platform/PictureBox.h"
#include "platform/Platform.h"
#include "shell/Declare.h"
#include "shell/WebLinks.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>

namespace vexilo {

namespace {

const QColor kBackground(224, 224, 224);

void setColour(QWidget *widget, QPalette::ColorRole role, QColor colour)
{
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

QLabel *makeLabel(QWidget *parent, const QString &text, QRect geometry)
{
    auto *label = new QLabel(text, parent);
    label->setGeometry(geometry);
    return label;
}

QWidget *makeLine(QWidget *parent, QRect geometry, QColor colour)
{
    auto *line = new QWidget(parent);
    line->setGeometry(geometry);
    setColour(line, QPalette::Window, colour);
    line->setAutoFillBackground(true);
    return line;
}

} // namespace

frmOprog::frmOprog(const Declare &state, Platform &platform, QWidget *parent)
    : QDialog(parent), m_state(state), m_platform(platform)
{
    setObjectName(QStringLiteral("frmOprog"));
    setWindowTitle(QStringLiteral("О программе"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                   Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(356, 209);
    setFont(designFont());
    setColour(this, QPalette::Window, kBackground);
    setAutoFillBackground(true);
    buildControls();
    Form_Load();
}

frmOprog::~frmOprog() = default;

void frmOprog::buildControls()
{
    Image1 = new QLabel(this);
    Image1->setGeometry(16, 8, 71, 126);
    Image1->setPixmap(QPixmap(QStringLiteral(":/vexilo/Image1.png")));

    Label2[3] = makeLabel(this, QStringLiteral("Разработчики Vexilo"), {104, 8, 220, 20});
    Label2[4] = makeLabel(this, QStringLiteral("vexilo@example.org"), {104, 32, 242, 20});
    Label2[5] = makeLabel(this, QStringLiteral("Сайт:"), {104, 56, 48, 20});
    // The version of the build, as the metadata, the package and --version give it.
    Label2[6] = makeLabel(this, QStringLiteral("Версия: v") + projectVersion(), {104, 80, 104, 20});
    Label2[7] = makeLabel(this, QStringLiteral("Дата: 7 августа 2012 год -"), {104, 104, 224, 20});
    Label2[0] = makeLabel(this, QStringLiteral("28 августа 2015 год"), {156, 128, 170, 20});

    Label1 = makeLabel(this, QStringLiteral("vexilo.example.org"), {152, 56, 183, 20});
    Label1Tag = siteAddress();
    QFont linkFont = designFont();
    linkFont.setUnderline(true);
    Label1->setFont(linkFont);
    setColour(Label1, QPalette::WindowText, QColor(0, 0, 192));
    Label1->setCursor(Qt::PointingHandCursor);
    Label1->setToolTip(Label1Tag);
    Label1->installEventFilter(this);

    // The etched separator: a dark line with a light one under it.
    const QPalette system = QApplication::palette();
    Line1 = makeLine(this, {8, 152, 337, 1}, system.color(QPalette::WindowText));
    Line2 = makeLine(this, {8, 153, 337, 1}, system.color(QPalette::Base));

    Picture1 = new PictureBox(this);

    OK = new QPushButton(QStringLiteral("OK"), this);
    OK->setGeometry(256, 164, 89, 33);
    setColour(OK, QPalette::Button, kBackground);
    OK->setDefault(true);
    OK->setFocus();
    connect(OK, &QPushButton::clicked, this, &frmOprog::OK_Click);
}

void frmOprog::Form_Load()
{
    Picture1->resizeAndClear(80, 45);
    QPainter painter(&Picture1->image());
    painter.fillRect(QRect(QPoint(0, 15), QPoint(79, 30)), QColor(0, 0, 255));
    painter.fillRect(QRect(QPoint(0, 31), QPoint(79, 45)), QColor(255, 0, 0));
    painter.end();
    Picture1->move(8, 160);
}

void frmOprog::Label1_Click()
{
    m_platform.setBusy(true);
    SaveFileUrl(m_platform, m_state.paths.redirectFolder(), Label1Tag);
    m_platform.setBusy(false);
}

void frmOprog::OK_Click()
{
    accept();
}

bool frmOprog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Label1 && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        Label1_Click();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace vexilo
