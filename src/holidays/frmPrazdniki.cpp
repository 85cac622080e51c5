#include "frmPrazdniki.h"

#include "common/CalendarMath.h"
#include "common/NumberText.h"
#include "common/ProgramText.h"
#include "holidays/AskImportHolidays.h"
#include "holidays/MonthGridPainter.h"
#include "holidays/PrazdnikiFile.h"
#include "holidays/PrazdnikiStore.h"
#include "platform/PictureBox.h"
#include "platform/Platform.h"
#include "platform/SaveReport.h"

#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>

#include <algorithm>
#include <memory>
#include <optional>

namespace vexilo {

namespace {

// Positions and sizes are given in fifteenths of a pixel, as the layout lists them.
QRect twips(int left, int top, int width, int height)
{
    return {left / 15, top / 15, width / 15, height / 15};
}

QPushButton *makeButton(QWidget *parent, const QString &text, QRect geometry)
{
    auto *button = new QPushButton(text, parent);
    button->setGeometry(geometry);
    // Enter in a list must not press a button: closing with "Сохранить" writes the file.
    button->setAutoDefault(false);
    return button;
}

QListWidget *makeList(QWidget *parent, QRect geometry)
{
    auto *list = new QListWidget(parent);
    list->setGeometry(geometry);
    list->setFont(designFont(13.5, false));
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    return list;
}

// The selected position of a list, -1 when none; the current row alone is not a selection.
int selectedRow(const QListWidget *list)
{
    const QList<QListWidgetItem *> items = list->selectedItems();
    return items.isEmpty() ? -1 : list->row(items.constFirst());
}

// Selecting runs the list's handler when the selection changes, as a click would.
void selectRow(QListWidget *list, int row)
{
    if (row >= 0 && row < list->count())
        list->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
}

qint32 wholeNumberOf(const QString &text)
{
    return wholeNumber(text).value_or(0);
}

// The first position whose whole number is the year, -1 when none.
int rowOfYear(const QListWidget *list, qint32 year)
{
    for (int p = 0; p < list->count(); ++p)
        if (wholeNumberOf(list->item(p)->text()) == year)
            return p;
    return -1;
}

} // namespace

frmPrazdniki::frmPrazdniki(PrazdnikiStore &Prazdniki, const QString &holidayFile,
                           const std::array<qint32, 13> &DniMesyaca, const QString &yearText,
                           Platform &platform, QWidget *parent)
    : QDialog(parent), m_store(Prazdniki), m_holidayFile(holidayFile), m_DniMesyaca(DniMesyaca),
      m_yearText(yearText), m_platform(platform)
{
    setObjectName(QStringLiteral("frmPrazdniki"));
    setWindowTitle(QStringLiteral("Ввод праздников"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setModal(true);
    setFont(designFont());
    // One row below the designed frame for "Импорт праздников…".
    setFixedSize(514, 447);
    buildControls();
    Form_Load();
}

frmPrazdniki::~frmPrazdniki()
{
    // The lists empty themselves while the window is torn down; that is no choice of a year.
    lstGoda->disconnect(this);
    lstMesyacy->disconnect(this);
}

void frmPrazdniki::buildControls()
{
    lstGoda = makeList(this, twips(120, 480, 975, 4380));
    lstMesyacy = makeList(this, twips(1200, 480, 1695, 4380));
    lstMesyacy->addItems(monthNames());

    picDniNedeli = new PictureBox(kWeekdayColumnWidth, kGridHeight, this);
    picDniNedeli->move(3000 / 15, 480 / 15);
    picMesyac = new PictureBox(kGridWidth, kGridHeight, this);
    picMesyac->move(3480 / 15, 480 / 15);

    Label1 = new QLabel(this);
    Label1->move(3000 / 15, 120 / 15);

    kDelGod = makeButton(this, QStringLiteral("Удалить год"), twips(120, 4920, 2175, 495));
    kAddGod = makeButton(this, QStringLiteral("Добавить год"), twips(120, 5520, 2175, 495));
    kSave = makeButton(this, QStringLiteral("Сохранить"), twips(4320, 5520, 1815, 495));
    kNO = makeButton(this, QStringLiteral("Отмена"), twips(6240, 5520, 1335, 495));
    kImport = makeButton(this, QStringLiteral("Импорт праздников…"), QRect(8, 408, 272, 33));
    kImport->setObjectName(QStringLiteral("kImport"));

    setTabOrder(lstMesyacy, kSave);
    setTabOrder(kSave, kNO);
    setTabOrder(kNO, kAddGod);
    setTabOrder(kAddGod, lstGoda);
    setTabOrder(lstGoda, kDelGod);
    setTabOrder(kDelGod, kImport);
    lstMesyacy->setFocus();

    connect(lstGoda, &QListWidget::itemSelectionChanged, this, &frmPrazdniki::lstGoda_Click);
    connect(lstMesyacy, &QListWidget::itemSelectionChanged, this, &frmPrazdniki::lstMesyacy_Click);
    connect(kAddGod, &QPushButton::clicked, this, &frmPrazdniki::kAddGod_Click);
    connect(kDelGod, &QPushButton::clicked, this, &frmPrazdniki::kDelGod_Click);
    connect(kSave, &QPushButton::clicked, this, &frmPrazdniki::kSave_Click);
    connect(kNO, &QPushButton::clicked, this, &frmPrazdniki::kNO_Click);
    connect(kImport, &QPushButton::clicked, this, &frmPrazdniki::kImport_Click);
    connect(picMesyac, &PictureBox::mousePressed, this,
            [this](QPointF p) { picMesyac_MouseDown(p.x(), p.y()); });
    connect(picMesyac, &PictureBox::mouseReleased, this,
            [this](QPointF p) { picMesyac_MouseUp(p.x(), p.y()); });
}

void frmPrazdniki::Form_Load()
{
    // Outside this window the store is what the file held when it was last read or written;
    // another copy of the program may have saved its own holidays since, which are shown.
    if (prazdnikiChangedOnDisk(m_store, m_holidayFile))
        OpenPrazdniki(m_store, m_holidayFile);
    // Until a year is shown, a chosen month is laid out as in year 1 (starting on a Monday,
    // February of 28 days), so it never shows more days than it has.
    m_calendar = yearCalendar(1, m_DniMesyaca);
    m_NomerGoda = -1;
    m_Cveta = {0, 255};
    m_Sohranit = false;

    drawWeekdayColumn(picDniNedeli->image());
    picDniNedeli->update();

    // Sorted once rather than item by item: a file may hold thousands of years.
    QStringList years;
    for (qint32 i = 0; i <= m_store.KolGodov(); ++i) {
        const clsPrazdniki *year = m_store.entry(i);
        if (year->DelGod == 0)
            years.append(QString::number(year->God));
    }
    std::stable_sort(years.begin(), years.end(),
                     [](const QString &a, const QString &b) { return QString::compare(a, b) < 0; });
    lstGoda->addItems(years);
    enableDelGod();

    m_TekGod = wholeNumberOf(m_yearText);
    if (m_TekGod > 0)
        PokazatGod();
}

void frmPrazdniki::lstGoda_Click()
{
    const int p = selectedRow(lstGoda);
    if (p < 0)
        return;
    m_TekGod = wholeNumberOf(lstGoda->item(p)->text());
    const qint32 i = m_store.NaytiGod(m_TekGod);
    if (i >= 0) {
        m_NomerGoda = i;
        PokazatGod();
    }
}

void frmPrazdniki::PokazatGod()
{
    Label1->setText(yearTitle(m_TekGod));
    Label1->adjustSize();
    m_calendar = yearCalendar(m_TekGod, m_DniMesyaca);

    const int found = rowOfYear(lstGoda, m_TekGod);
    if (found >= 0) {
        selectRow(lstGoda, found);
    } else {
        m_store.append();
        m_NomerGoda = m_store.KolGodov();
        // The selection handler finds no live entry for the year yet and does nothing.
        selectRow(lstGoda, addYearItem(QString::number(m_TekGod)));
        enableDelGod();
        clsPrazdniki *year = m_store.entry(m_NomerGoda);
        year->God = m_TekGod;
        addDefaultHolidays(*year, m_calendar);
    }

    if (selectedRow(lstMesyacy) != 0)
        selectRow(lstMesyacy, 0);
    else
        lstMesyacy_Click();
}

void frmPrazdniki::lstMesyacy_Click()
{
    const int p = selectedRow(lstMesyacy);
    if (p < 0)
        return;
    const qint32 month = p + 1;
    const auto m = static_cast<std::size_t>(month);

    QImage &image = picMesyac->image();
    image.fill(Qt::white);
    drawGridLines(image);
    m_Setka = monthLayout(m_calendar.PervyiDen[m], m_calendar.KolDney[m]);
    const clsPrazdniki *year = m_NomerGoda >= 0 ? m_store.entry(m_NomerGoda) : nullptr;
    for (qint32 c = 0; c < kGridColumns; ++c) {
        for (qint32 r = 0; r < kGridRows; ++r) {
            const qint32 day = dayInCell(m_Setka, c, r);
            if (day != 0)
                drawDay(c, r, day, year ? year->mark(month, day) : 0);
        }
    }
    picMesyac->update();
}

void frmPrazdniki::picMesyac_MouseDown(double X, double Y)
{
    m_NazhKolonka = cellIndex(X);
    m_NazhStroka = cellIndex(Y);
    m_NazhatyiDen = dayInCell(m_Setka, m_NazhKolonka, m_NazhStroka);
}

void frmPrazdniki::picMesyac_MouseUp(double X, double Y)
{
    const qint32 day = m_NazhatyiDen;
    m_NazhatyiDen = 0;
    if (day == 0 || cellIndex(X) != m_NazhKolonka || cellIndex(Y) != m_NazhStroka)
        return;
    const qint32 month = selectedRow(lstMesyacy) + 1;
    clsPrazdniki *year = m_NomerGoda >= 0 ? m_store.entry(m_NomerGoda) : nullptr;
    // No year shown, or the month list lost its selection: there is nothing to mark.
    if (!year || month < 1 || !year->Add(month, day))
        return;
    // Same digits at the same place in the new colour, over the old ones.
    drawDay(m_NazhKolonka, m_NazhStroka, day, year->mark(month, day));
    picMesyac->update();
}

void frmPrazdniki::kAddGod_Click()
{
    const std::optional<QString> answer =
        m_platform.inputBox(QStringLiteral("Введите нужный год"), applicationTitle(), QString());
    const qint32 y = wholeNumberOf(answer.value_or(QString()));
    if (!isCalendarYear(y))
        return;
    m_TekGod = y;
    const int p = rowOfYear(lstGoda, y);
    if (p >= 0)
        selectRow(lstGoda, p);
    else
        PokazatGod();
    lstMesyacy->setFocus();
}

void frmPrazdniki::kDelGod_Click()
{
    const int p = selectedRow(lstGoda);
    // The last year is never removed; with none selected there is nothing to remove.
    if (p < 0 || lstGoda->count() < 2)
        return;
    const QString s = lstGoda->item(p)->text();
    if (m_platform.messageBox(QStringLiteral("Удалить ") + s + QStringLiteral(" год?"),
                              applicationTitle(), MsgIcon::Critical,
                              MsgButtons::YesNo) != MsgAnswer::Yes)
        return;
    {
        const QSignalBlocker blocker(lstGoda);
        std::unique_ptr<QListWidgetItem> removed(lstGoda->takeItem(p));
        lstGoda->clearSelection();
    }
    enableDelGod();
    // Flagged before the first year is shown, so that a second entry of the same year, when
    // the file had one, is the one shown and edited rather than the removed one.
    const qint32 i = m_store.NaytiGod(wholeNumberOf(s));
    if (i >= 0)
        m_store.entry(i)->DelGod = 1;
    selectRow(lstGoda, 0);
}

void frmPrazdniki::kSave_Click()
{
    m_Sohranit = true;
    accept();
}

void frmPrazdniki::kNO_Click()
{
    reject();
}

void frmPrazdniki::done(int result)
{
    if (!m_unloaded) {
        m_unloaded = true;
        Form_Unload();
    }
    QDialog::done(result);
}

void frmPrazdniki::Form_Unload()
{
    hide();
    if (m_Sohranit && prazdnikiChangedOnDisk(m_store, m_holidayFile) &&
        m_platform.messageBox(
            QStringLiteral("Файл «%1» изменился, пока было открыто это окно: его сохранила "
                           "другая копия программы или другая программа.\n\n"
                           "«Да» — записать эти праздники поверх него.\n"
                           "«Нет» — оставить файл как есть и взять праздники из него.")
                .arg(m_holidayFile),
            applicationTitle(), MsgIcon::Question, MsgButtons::YesNo) == MsgAnswer::No)
        m_Sohranit = false;
    if (m_Sohranit) {
        const PrazdnikiSaveResult saved =
            SavePrazdniki(m_store, m_holidayFile, m_platform.saveFaults());
        if (!saved.backupPath.isEmpty())
            reportBackupCopy(m_platform, m_holidayFile, saved.backupPath);
        reportSaveFailure(m_platform, m_holidayFile, saved.write);
    } else
        OpenPrazdniki(m_store, m_holidayFile);
}

int frmPrazdniki::addYearItem(const QString &text)
{
    // Text order, as the sorted list has always kept it: "99" comes after "2013".
    int row = 0;
    while (row < lstGoda->count() && QString::compare(lstGoda->item(row)->text(), text) <= 0)
        ++row;
    // Inserting above the selected item moves its selection, which is no choice of a year.
    const QSignalBlocker blocker(lstGoda);
    lstGoda->insertItem(row, text);
    return row;
}

void frmPrazdniki::enableDelGod()
{
    kDelGod->setEnabled(lstGoda->count() > 1);
}

void frmPrazdniki::drawDay(qint32 column, qint32 row, qint32 day, qint32 mark)
{
    drawDayNumber(picMesyac->image(), column, row, day, m_Cveta[mark == 1 ? 1 : 0]);
}

void frmPrazdniki::kImport_Click()
{
    const std::optional<qint32> shown =
        m_NomerGoda >= 0 ? std::optional<qint32>(m_TekGod) : std::nullopt;
    const QString path = askHolidayFile(m_platform, m_importStartFolder);
    if (path.isEmpty())
        return;
    m_importStartFolder = QFileInfo(path).absolutePath();
    if (m_keepImportFolder)
        m_keepImportFolder(m_importStartFolder);
    const std::vector<ImportedYear> imported =
        askAndImportHolidays(m_platform, m_store, m_DniMesyaca, path, shown);
    if (imported.empty())
        return;
    for (const ImportedYear &year : imported)
        if (year.created)
            addYearItem(QString::number(year.year));
    enableDelGod();
    // The shown month takes the new marks at once, as after clicks.
    if (shown)
        lstMesyacy_Click();
    m_platform.messageBox(importSummary(imported), applicationTitle(), MsgIcon::Information,
                          MsgButtons::Ok);
}

} // namespace vexilo
