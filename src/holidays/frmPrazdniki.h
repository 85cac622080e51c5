#pragma once

#include "holidays/MonthGrid.h"

#include <QDialog>

#include <array>
#include <functional>

class QLabel;
class QListWidget;
class QPushButton;

namespace vexilo {

class Platform;
class PictureBox;
class PrazdnikiStore;

// The holiday editor: a sorted list of years, the months, and the month grid in which a click
// on a day toggles its holiday mark. Every change goes straight into the store; "Сохранить"
// writes the file, any other way of closing reloads the store from it.
class frmPrazdniki : public QDialog
{
    Q_OBJECT
public:
    // yearText is the main window's year box; DniMesyaca its month-length table.
    frmPrazdniki(PrazdnikiStore &Prazdniki, const QString &holidayFile,
                 const std::array<qint32, 13> &DniMesyaca, const QString &yearText,
                 Platform &platform, QWidget *parent = nullptr);
    ~frmPrazdniki() override;

    // Where «Импорт праздников…» opens its file dialog, and who keeps the folder of each file
    // chosen there for the next time.
    void setImportStartFolder(const QString &folder) { m_importStartFolder = folder; }
    void setImportFolderKeeper(std::function<void(const QString &)> keep)
    {
        m_keepImportFolder = std::move(keep);
    }

    // Controls, by their design names.
    QListWidget *lstGoda = nullptr;
    QListWidget *lstMesyacy = nullptr;
    PictureBox *picDniNedeli = nullptr;
    PictureBox *picMesyac = nullptr;
    QLabel *Label1 = nullptr;
    QPushButton *kDelGod = nullptr;
    QPushButton *kAddGod = nullptr;
    QPushButton *kSave = nullptr;
    QPushButton *kNO = nullptr;
    QPushButton *kImport = nullptr; // "Импорт праздников…"

    // Handlers.
    void lstGoda_Click();
    void lstMesyacy_Click();
    void kAddGod_Click();
    void kDelGod_Click();
    void kSave_Click();
    void kNO_Click();
    // Marks the all-day events of an iCalendar file, in the shown year or every year the file
    // covers; nothing is saved until "Сохранить".
    void kImport_Click();
    void picMesyac_MouseDown(double X, double Y);
    void picMesyac_MouseUp(double X, double Y);

    // Shows the year TekGod, creating it with its default holidays when the list lacks it.
    void PokazatGod();

    qint32 TekGod() const { return m_TekGod; }
    qint32 NomerGoda() const { return m_NomerGoda; }
    const YearCalendar &calendar() const { return m_calendar; }
    const Setka &setka() const { return m_Setka; }

    // Every way of closing passes here, the close box and Escape included.
    void done(int result) override;

private:
    void buildControls();
    void Form_Load();
    void Form_Unload();
    int addYearItem(const QString &text); // returns its position
    void enableDelGod();
    void drawDay(qint32 column, qint32 row, qint32 day, qint32 mark);

    PrazdnikiStore &m_store;
    QString m_holidayFile;
    std::array<qint32, 13> m_DniMesyaca;
    QString m_yearText;
    Platform &m_platform;

    qint32 m_TekGod = 0;
    qint32 m_NomerGoda = -1;
    YearCalendar m_calendar;
    std::array<quint32, 2> m_Cveta{0, 255};
    bool m_Sohranit = false;
    Setka m_Setka{};
    qint32 m_NazhatyiDen = 0;
    qint32 m_NazhKolonka = 0;
    qint32 m_NazhStroka = 0;
    bool m_unloaded = false;
    QString m_importStartFolder;
    std::function<void(const QString &)> m_keepImportFolder;
};

} // namespace vexilo
