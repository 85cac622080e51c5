#pragma once

#include "holidays/PrazdnikiStore.h"

#include <QByteArray>
#include <QString>

class QIODevice;

namespace vexilo {

class Platform;

// A holiday file never yields more years than this: far more than anyone enters, and it keeps
// a damaged or hostile file from filling the memory.
constexpr qint32 kMaxFileYears = 20000;
// Nor is more of it read than this (a full file of kMaxFileYears years is about 25 MB).
constexpr qint64 kMaxFileBytes = 64 * 1024 * 1024;

// PutProgrammy + "Праздники.dat".
QString prazdnikiPath(const QString &PutProgrammy);

// Replaces the store with the years of the text: the count line, then for each year its
// number and twelve month lines "k,d1,...,dk". Values are whole numbers separated by commas
// or line ends. Reading stops at the end of the text or at the first value that is not a
// whole number; the years read up to there are kept, the one being read with the marks it
// had so far. A count below -1 gives the empty store.
void readPrazdniki(QIODevice &in, PrazdnikiStore &store);
void readPrazdniki(const QByteArray &bytes, PrazdnikiStore &store);

// The file text of the live years, in store order, ending with an empty line.
QByteArray writePrazdniki(const PrazdnikiStore &store);

// Loads the file into the store; an absent or unreadable file gives the empty store.
void OpenPrazdniki(PrazdnikiStore &store, const QString &path);

// Writes the store to the file through a temporary file; on failure the old file stays and
// the user is told why. Returns whether the file was written.
bool SavePrazdniki(const PrazdnikiStore &store, const QString &path, Platform &platform);

} // namespace vexilo
