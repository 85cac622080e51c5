#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <array>

namespace vexilo {

// The eleven values of "Options.ini", in file order.
struct OptionsValues
{
    qint32 XYMesyac = -1;                 // months-per-row list index
    std::array<qint32, 6> Rassttoyanie{}; // the five spacings and the year
    QString PapkaKartinok;                // glyph folder name
    qint32 KolMesyacev = -1;              // period list index
    qint32 Mesyac = -1;                   // month list index
    qint32 ProverkaRazmerov = 0;          // size-check setting
};

// What the lists get when there is no file, or when a stored index is out of range.
inline constexpr qint32 kDefaultXYMesyac = 2; // "4 месяца в ряд"
inline constexpr qint32 kDefaultKolMesyacev = 0;
inline constexpr qint32 kDefaultMesyac = 0;

// Reading stops here: the file we write is a few hundred bytes, and a huge or runaway file
// must not be pulled into memory whole.
inline constexpr qint64 kOptionsReadLimit = 64 * 1024;

// The number a spacing or year box stands for: the decimal number at the start of its text,
// rounded half to even; 0 for a text without one; clamped to the 32-bit range.
qint32 boxNumber(QStringView text);

// The file's bytes: Windows-1251, CR LF after each line, then one more CR LF. A folder name
// that Windows-1251 cannot hold, or that holds a line break, is written as an empty line.
QByteArray optionsFileContent(const OptionsValues &values);

// Reads the file's bytes over `current`. Numbers take their line with surrounding blanks
// ignored; a read that fails (end of file, or no whole 32-bit number on the line) keeps the
// last number read (0 at first) and, on the last line, the current ProverkaRazmerov; a missing
// folder line keeps the current folder. Out-of-range list indexes become the defaults.
OptionsValues readOptionsFile(const QByteArray &bytes, const OptionsValues &current);

} // namespace vexilo
