#include "OptionsForm.h"

#include "common/FileStamp.h"
#include "common/ProgramText.h"
#include "common/RegularFile.h"
#include "common/SafeFile.h"
#include "platform/Platform.h"
#include "platform/SaveReport.h"
#include "shell/Declare.h"
#include "shell/OptionsFile.h"
#include "shell/frmForma.h"

#include <QDate>
#include <QFile>

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
    QFile file;
    if (openRegularFile(file, path) != FileOpening::Opened)
        return std::nullopt;
    return file.read(kOptionsReadLimit);
}

OptionsValues valuesOf(const frmForma &form, const Declare &state)
{
    const FormaInputs inputs = form.inputs();
    OptionsValues values;
    values.XYMesyac = inputs.XYMesyac;
    for (std::size_t i = 0; i < values.Rassttoyanie.size(); ++i)
        values.Rassttoyanie[i] = boxNumber(inputs.Rassttoyanie[i]);
    values.PapkaKartinok = state.PapkaKartinok;
    values.KolMesyacev = inputs.KolMesyacev;
    values.Mesyac = inputs.Mesyac;
    values.ProverkaRazmerov = state.ProverkaRazmerov;
    return values;
}

void applyDefaults(frmForma &form)
{
    FormaInputs inputs = form.inputs();
    inputs.XYMesyac = kDefaultXYMesyac;
    inputs.Rassttoyanie[5] = QString::number(QDate::currentDate().year());
    inputs.KolMesyacev = kDefaultKolMesyacev;
    inputs.Mesyac = kDefaultMesyac;
    form.setInputs(inputs);
}

void applyValues(frmForma &form, Declare &state, const OptionsValues &values)
{
    FormaInputs inputs;
    inputs.XYMesyac = values.XYMesyac;
    for (std::size_t i = 0; i < values.Rassttoyanie.size(); ++i)
        inputs.Rassttoyanie[i] = QString::number(values.Rassttoyanie[i]);
    inputs.KolMesyacev = values.KolMesyacev;
    inputs.Mesyac = values.Mesyac;
    state.PapkaKartinok = values.PapkaKartinok;
    form.setInputs(inputs);
    state.ProverkaRazmerov = values.ProverkaRazmerov;
}

} // namespace

void SaveFile(frmForma &form, Declare &state, Platform &platform)
{
    const QString path = optionsPath(state);
    // Another copy of the program wrote its own settings since this one read them.
    if (stampOf(path) != state.optionsStamp &&
        platform.messageBox(QStringLiteral("Файл настроек «%1» изменился после того, как был "
                                           "прочитан: его сохранила другая копия программы.\n\n"
                                           "«Да» — записать настройки этого окна поверх него.\n"
                                           "«Нет» — оставить файл как есть.")
                                .arg(path),
                            applicationTitle(), MsgIcon::Question,
                            MsgButtons::YesNo) == MsgAnswer::No)
        return;
    const SafeWriteResult written = writeFileSafely(path, optionsFileContent(valuesOf(form, state)),
                                                    {Durability::Synced, platform.saveFaults()});
    if (written.ok)
        state.optionsStamp = stampOf(path);
    reportSaveFailure(platform, path, written);
}

void OpenFile(frmForma &form, Declare &state, Platform &platform)
{
    state.optionsStamp = stampOf(optionsPath(state));
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
