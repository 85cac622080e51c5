// The holiday editor's import of an iCalendar file.
#include "frmPrazdniki.h"

#include "holidays/IcsImport.h"
#include "holidays/PrazdnikiStore.h"
#include "platform/Platform.h"

#include <QDate>
#include <QDir>
#include <QListWidget>
#include <QPushButton>

namespace vexilo {

namespace {

const QString kCaption = QStringLiteral("Создатель календарей Vexilo");

} // namespace

void frmPrazdniki::kImport_Click()
{
    const QString path = m_platform.openFileName(
        {QStringLiteral("Календари iCalendar (*.ics)"), QStringLiteral("Все файлы (*)")},
        QDir::homePath());
    if (path.isEmpty())
        return;

    // Rules that repeat for ever are followed up to the shown year (or this year), not to 9999.
    const bool yearShown = m_NomerGoda >= 0;
    const qint32 shownYear = yearShown ? m_TekGod : QDate::currentDate().year();
    const auto read = readIcsFile(path, {1000, 9999, shownYear});
    if (const auto *error = std::get_if<QString>(&read)) {
        m_platform.messageBox(*error, kCaption, MsgIcon::Information, MsgButtons::Ok);
        return;
    }
    IcsDays days = std::get<IcsDays>(read);

    if (yearShown && !days.empty() && !(days.size() == 1 && days.begin()->first == m_TekGod)) {
        const QString question = QStringLiteral("Отметить праздники всех лет из файла (%1–%2)?\n"
                                                "«Нет» — только %3 год.")
                                     .arg(days.begin()->first)
                                     .arg(days.rbegin()->first)
                                     .arg(m_TekGod);
        if (m_platform.messageBox(question, kCaption, MsgIcon::Question, MsgButtons::YesNo) ==
            MsgAnswer::No) {
            IcsDays shownOnly;
            if (const auto found = days.find(m_TekGod); found != days.end())
                shownOnly.insert(*found);
            days = std::move(shownOnly);
        }
    }
    if (days.empty()) {
        const QString text =
            yearShown
                ? QStringLiteral("В файле нет праздников на целый день в %1 году.").arg(m_TekGod)
                : QStringLiteral("В файле нет праздников на целый день.");
        m_platform.messageBox(text, kCaption, MsgIcon::Information, MsgButtons::Ok);
        return;
    }

    const std::vector<ImportedYear> imported = importIcsDays(m_store, days, m_DniMesyaca);
    for (const ImportedYear &year : imported)
        if (year.created)
            addYearItem(QString::number(year.year));
    enableDelGod();
    // The shown month takes the new marks at once, as after clicks.
    if (yearShown)
        lstMesyacy_Click();
    m_platform.messageBox(importSummary(imported), kCaption, MsgIcon::Information, MsgButtons::Ok);
}

} // namespace vexilo
