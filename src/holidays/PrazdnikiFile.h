#pragma once

#include "common/SafeFile.h"
#include "holidays/PrazdnikiStore.h"

#include <QByteArray>
#include <QString>

class QIODevice;

namespace vexilo {

// A holiday file never yields more years than this: far more than anyone enters, and it keeps
// a damaged or hostile file from filling the memory.
constexpr qint32 kMaxFileYears = 20000;
// Nor is more of it read than this (a full file of kMaxFileYears years is about 25 MB).
constexpr qint64 kMaxFileBytes = 64 * 1024 * 1024;

// PutProgrammy + "Праздники.dat".
QString prazdnikiPath(const QString &PutProgrammy);

// Replaces the store with the years of the text: the count line, then for each year its
// number and twelve month lines "k,d1,...,dk". Values are whole numbers separated by commas
// or line ends; a UTF-8 byte-order mark before them is skipped. Reading stops at the end of
// the text or at the first value that is not a whole number; the years read up to there are
// kept, the one being read with the marks it had so far. A count below -1 gives the empty
// store. Returns whether the text was taken whole: every year the count announces, and
// nothing but line ends after them.
bool readPrazdniki(QIODevice &in, PrazdnikiStore &store);
bool readPrazdniki(const QByteArray &bytes, PrazdnikiStore &store);

// The file text of the live years, in store order, ending with an empty line.
QByteArray writePrazdniki(const PrazdnikiStore &store);

// Loads the file into the store; an absent or unreadable file, or anything but a regular file,
// gives the empty store. The store remembers whether the file was taken whole.
void OpenPrazdniki(PrazdnikiStore &store, const QString &path);

// Whether the file is no longer the one the store read or wrote last: another copy of the
// program saved its own holidays there since.
bool prazdnikiChangedOnDisk(const PrazdnikiStore &store, const QString &path);

struct PrazdnikiSaveResult
{
    SafeWriteResult write;
    // The copy of a file that was not taken whole, kept before the first save over it.
    QString backupPath;
};

// Writes the store to the file safely. When the file was not taken whole at loading, the old
// file is first kept as a copy beside it, and a save that cannot make the copy writes nothing;
// the copy is made only once the save itself is known to be possible, so a file that may not
// be written gets no new copy at every attempt.
PrazdnikiSaveResult SavePrazdniki(PrazdnikiStore &store, const QString &path,
                                  const SafeWriteHook &hook = {});

} // namespace vexilo
