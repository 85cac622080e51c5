#include "OptionsForm.h"

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

void SaveFile(frmForma &form, const Declare &state, Platform &platform)
{
    const QString path = optionsPath(state);
    reportSaveFailure(platform, path,
                      writeFileSafely(path, optionsFileContent(valuesOf(form, state)),
                                      {Durability::Synced, platform.saveFaults()}));
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
