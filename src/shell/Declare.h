#pragma once

#include "common/FileStamp.h"
#include "compose/tints/clsPixel.h"
#include "holidays/PrazdnikiStore.h"
#include "shell/AppPaths.h"

#include <QString>

#include <array>
#include <vector>

namespace vexilo {

// The program-wide state. Main makes the one instance and hands it to the windows by
// reference; tests make their own.
struct Declare
{
    QString Zagolovok;               // main window caption naming the loaded glyph folder
    QString Razdelitel;              // path separator, "\" or "/"
    QString PapkaKartinok;           // glyph folder name inside PutProgrammy; empty until chosen
    qint16 KartinkiZagruzheny = 0;   // -1 once a glyph set is loaded, 0 otherwise
    qint32 ProverkaRazmerov = 0;     // size check: 1 loads only "0.gif" and "Пн.gif"
    std::array<qint32, 32> Chisla{}; // number drawn for day d (1..31)
    std::array<qint32, 13> DniMesyaca{}; // days in month m (1..12); [2] set by the renderers
    qint32 KolRisunkov = 0;              // highest canvas index in use
    PrazdnikiStore Prazdniki;            // the holiday store; its KolGodov() is KolGodov
    AppPaths paths;                      // where every file lives; set by Main
    FileStamp optionsStamp;              // "Options.ini" as last read or written
};

// Month lengths for months 1 and 3..12; February stays 0 until a sheet is drawn.
void fillMonthLengths(std::array<qint32, 13> &DniMesyaca);

} // namespace vexilo
