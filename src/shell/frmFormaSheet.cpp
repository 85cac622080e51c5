// The main window's drawing, scrolling and saving of a sheet.
#include "frmForma.h"

#include "common/CalendarMath.h"
#include "common/NumberText.h"
#include "compose/BmpExport.h"
#include "compose/Prokrutka.h"
#include "compose/SheetLayout.h"
#include "platform/Platform.h"
#include "shell/Canvas.h"
#include "shell/Declare.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

namespace vexilo {

namespace {

Spacings spacingsOf(const std::array<QLineEdit *, 6> &boxes)
{
    return {readNumber(boxes[0]->text()), readNumber(boxes[1]->text()),
            readNumber(boxes[2]->text()), readNumber(boxes[3]->text()),
            readNumber(boxes[4]->text())};
}

} // namespace

qint32 frmForma::lastCanvas() const
{
    return std::clamp<qint32>(m_state.KolRisunkov, 0, static_cast<qint32>(picRisunok.size()) - 1);
}

void frmForma::showInformation(const QString &text)
{
    m_platform.messageBox(text, applicationTitle(), MsgIcon::Information, MsgButtons::Ok);
}

void frmForma::setCommandsBusy(bool busy)
{
    // A disabled button hands its focus to the next control, where the arrow keys would
    // silently change the months per row: the sheet holds it meanwhile and gives it back.
    if (busy) {
        m_focusBeforeBusy = kNew->hasFocus() ? kNew : kSave->hasFocus() ? kSave : nullptr;
        if (m_focusBeforeBusy != nullptr)
            picControlInner->setFocus();
    }
    kNew->setEnabled(!busy);
    kSave->setEnabled(!busy);
    if (!busy && m_focusBeforeBusy != nullptr) {
        if (picControlInner->hasFocus())
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
    const std::optional<qint32> year = wholeNumber(txtRassttoyanie[5]->text());
    if (!year || *year < 1000 || *year > 9999) {
        showInformation(QStringLiteral("Не зачем вам календарь этого года."));
        return;
    }
    const qint32 entry = m_state.Prazdniki.NaytiGod(*year);
    if (entry < 0) {
        showInformation(QStringLiteral("Введите праздники."));
        MenuPrazdniki_Click();
        return;
    }

    const QSize digitSize = picChisla[0].size();
    const qint32 weekdayWidth = picDniNedeli[0].width();
    const Spacings spacings = spacingsOf(txtRassttoyanie);
    const auto layout =
        month == 0 ? yearGeometry(digitSize, weekdayWidth, spacings, selXYMesyac->currentIndex())
                   : monthGeometry(digitSize, weekdayWidth, spacings);
    // Sizes the program cannot hold change nothing, like the other refusals.
    if (const auto *error = std::get_if<SheetError>(&layout)) {
        showInformation(sheetErrorMessage(*error));
        return;
    }
    const SheetGeometry &g = std::get<SheetGeometry>(layout);

    setCommandsBusy(true);
    m_state.DniMesyaca[2] = februaryLength(*year);
    m_state.KolRisunkov = g.KolRisunkov;
    if (month == 0)
        ShagRisunkov = g.ShagRisunkov;
    setViewportColour(Qt::white);
    for (qint32 k = 0; k < static_cast<qint32>(picRisunok.size()); ++k) {
        Canvas *canvas = picRisunok[static_cast<std::size_t>(k)];
        if (k <= g.KolRisunkov) {
            canvas->move(0, k * ShagRisunkov);
            canvas->resizeAndClear(g.canvasWidth, g.canvasHeight);
            canvas->show();
        } else {
            canvas->clear();
            canvas->hide();
        }
    }
    QString caption = m_state.Zagolovok + sizeCaption(g);
    if (month != 0)
        caption += QStringLiteral(" - ") + selMesyac->itemText(month - 1);
    setWindowTitle(caption);
    m_platform.processEvents();
    Prokrutka();

    // Look the entry up again: the events just run may have rebuilt the store.
    static const clsPrazdniki kNoHolidays;
    const clsPrazdniki *marks = m_state.Prazdniki.entry(entry);
    const SheetContext context{
        {picChisla, picDniNedeli, m_state.Tsifry, m_state.DniNedeli, m_state.ProverkaRazmerov},
        marks != nullptr ? *marks : kNoHolidays,
        m_state.Chisla,
        m_state.DniMesyaca,
        firstWeekdays(*year, m_state.DniMesyaca)};
    for (qint32 k = 0; k <= g.KolRisunkov; ++k) {
        Canvas *canvas = picRisunok[static_cast<std::size_t>(k)];
        if (month == 0)
            drawYearCanvas(canvas->image(), k, g, context);
        else
            drawMonthCanvas(canvas->image(), month, g, context);
        canvas->update();
    }
    setCommandsBusy(false);
}

void frmForma::Prokrutka()
{
    const int W = picControlInner->width();
    const int H = picControlInner->height();
    m_scrolledViewport = QSize(W, H);
    const qint32 kol = lastCanvas();
    const Canvas *last = picRisunok[static_cast<std::size_t>(kol)];
    const ScrollPlan plan = planScrollBars(
        W, H, last->width(), qint64(kol) * ShagRisunkov + last->height(), picRisunok[0]->width());
    if (plan.horizontal) {
        HScroll1->setGeometry(0, H - kBarSize, plan.hWidth, kBarSize);
        HScroll1->setPageStep(plan.hWidth);
        HScroll1->setMaximum(plan.hMax);
        HScroll1->setSingleStep(plan.hSmall);
    }
    HScroll1->setValue(0);
    HScroll1->setVisible(plan.horizontal);
    if (plan.vertical) {
        VScroll1->setGeometry(W - kBarSize, 0, kBarSize, plan.vHeight);
        VScroll1->setPageStep(plan.vHeight);
        VScroll1->setMaximum(plan.vMax);
        VScroll1->setSingleStep(plan.vSmall);
    }
    VScroll1->setValue(0);
    VScroll1->setVisible(plan.vertical);
    PctrUgol->setVisible(plan.horizontal && plan.vertical);
}

void frmForma::HScroll1_Change(int value)
{
    for (qint32 k = 0; k <= lastCanvas(); ++k) {
        Canvas *canvas = picRisunok[static_cast<std::size_t>(k)];
        canvas->move(-value, canvas->y());
    }
}

void frmForma::VScroll1_Change(int value)
{
    for (qint32 k = 0; k <= lastCanvas(); ++k) {
        Canvas *canvas = picRisunok[static_cast<std::size_t>(k)];
        canvas->move(canvas->x(), k * ShagRisunkov - value);
    }
}

QString frmForma::apiOpenSave(qint16 saveMode, const QString &initialName, const QString &filter)
{
    Q_UNUSED(saveMode); // the program only ever saves
    Q_UNUSED(initialName);
    QStringList filters;
    if (!filter.isEmpty())
        filters.append(filter);
    filters.append(QStringLiteral("All Files (*.*)"));
    return m_platform.saveFileName(filters, m_state.paths.saveStartFolder());
}

void frmForma::kSave_Click()
{
    const QString name = apiOpenSave(1, QString(), QStringLiteral("Рисунок (*.bmp)"));
    if (name.isEmpty())
        return;
    const qint32 kol = lastCanvas();
    const QStringList names = exportFileNames(name, m_state.Razdelitel, kol);
    setCommandsBusy(true);
    for (qint32 i = 0; i <= kol; ++i) {
        const ExportResult result =
            writeBmp(names[i], picRisunok[static_cast<std::size_t>(i)]->image());
        if (!result.ok) {
            // The files written before this one stay; the rest would fail alike.
            m_platform.messageBox(exportFailureMessage(result), applicationTitle(),
                                  MsgIcon::Critical, MsgButtons::Ok);
            break;
        }
    }
    setCommandsBusy(false);
}

} // namespace vexilo
