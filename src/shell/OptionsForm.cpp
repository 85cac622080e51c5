#include "OptionsForm.h"

#include "common/SafeFile.h"
#include "platform/Platform.h"
#include "shell/Declare.h"
#include "shell/OptionsFile.h"
#include "shell/frmForma.h"

#include <QComboBox>
#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>

#include <optional>

namespace vexilo {

namespace {

QString optionsPath(const Declare &state)
{
    return state.paths.optionsFile();
}

// Only a regular file is read: a folder or a pipe of that name would fail or block.
std::optional<QByteArray> readOptionsBytes(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isFile())
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.read(kOptionsReadLimit);
}

OptionsValues valuesOf(const frmForma &form, const Declare &state)
{
    OptionsValues values;
    values.XYMesyac = form.selXYMesyac->currentIndex();
    for (std::size_t i = 0; i < values.Rassttoyanie.size(); ++i)
        values.Rassttoyanie[i] = boxNumber(form.txtRassttoyanie[i]->text());
    values.PapkaKartinok = state.PapkaKartinok;
    values.KolMesyacev = form.selKolMesyacev->currentIndex();
    values.Mesyac = form.selMesyac->currentIndex();
    values.ProverkaRazmerov = state.ProverkaRazmerov;
    return values;
}

void applyDefaults(frmForma &form)
{
    form.selXYMesyac->setCurrentIndex(kDefaultXYMesyac);
    form.txtRassttoyanie[5]->setText(QString::number(QDate::currentDate().year()));
    form.selKolMesyacev->setCurrentIndex(kDefaultKolMesyacev);
    form.selMesyac->setCurrentIndex(kDefaultMesyac);
}

void applyValues(frmForma &form, Declare &state, const OptionsValues &values)
{
    form.selXYMesyac->setCurrentIndex(values.XYMesyac);
    for (std::size_t i = 0; i < values.Rassttoyanie.size(); ++i)
        form.txtRassttoyanie[i]->setText(QString::number(values.Rassttoyanie[i]));
    state.PapkaKartinok = values.PapkaKartinok;
    // Setting the period runs the window's period rule.
    form.selKolMesyacev->setCurrentIndex(values.KolMesyacev);
    form.selMesyac->setCurrentIndex(values.Mesyac);
    state.ProverkaRazmerov = values.ProverkaRazmerov;
}

} // namespace

void SaveFile(frmForma &form, const Declare &state, Platform &platform)
{
    const QString path = optionsPath(state);
    const SafeWriteResult result = writeFileSafely(path, optionsFileContent(valuesOf(form, state)));
    if (result.ok)
        return;
    // The first box must say something even when the system gave no description.
    const QString description =
        result.errorString.isEmpty() ? QStringLiteral("Ошибка записи файла.") : result.errorString;
    platform.messageBox(description, QString(), MsgIcon::None, MsgButtons::Ok);
    const QString ending = result.writeProtected ? QStringLiteral("» защищён от записи.")
                                                 : QStringLiteral("» сохранить не возможно.");
    platform.messageBox(QStringLiteral("Файл «") + path + ending, QString(), MsgIcon::Critical,
                        MsgButtons::Ok);
}

void OpenFile(frmForma &form, Declare &state, Platform &platform)
{
    if (const std::optional<QByteArray> bytes = readOptionsBytes(optionsPath(state))) {
        OptionsValues current;
        current.PapkaKartinok = state.PapkaKartinok;
        current.ProverkaRazmerov = state.ProverkaRazmerov;
        applyValues(form, state, readOptionsFile(*bytes, current));
    } else {
        applyDefaults(form);
    }
    platform.processEvents();
    if (!state.PapkaKartinok.isEmpty())
        form.OpenChisla(0);
}

} // namespace vexilo
