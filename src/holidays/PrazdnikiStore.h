#pragma once

#include "common/FileStamp.h"
#include "holidays/clsPrazdniki.h"

#include <memory>
#include <vector>

namespace vexilo {

// The holiday store: year entries by index, KolGodov the highest index in use (-1 = none).
// Entries are never taken out during a run; a removed year is only flagged (DelGod = 1),
// so indexes held by the editor stay valid.
class PrazdnikiStore
{
public:
    PrazdnikiStore();

    qint32 KolGodov() const { return m_kolGodov; }

    // No years: KolGodov -1 and one empty slot.
    void empty();
    // One more slot after the last one (KolGodov grows by one); existing entries stay.
    void append();
    // Entry i, created in its slot on first access; nullptr outside 0..KolGodov (slot 0
    // always exists).
    clsPrazdniki *entry(qint32 i);
    const clsPrazdniki *entry(qint32 i) const;

    // The first live entry of year Y, or -1.
    qint32 NaytiGod(qint32 Y) const;

    // Whether the store holds all that its file held when it was loaded: a file taken only
    // partly is kept as a copy before it is saved over.
    bool fileTakenWhole() const { return m_fileTakenWhole; }
    void setFileTakenWhole(bool whole) { m_fileTakenWhole = whole; }

    // The file as it was when the store last read or wrote it; another copy of the program
    // may have saved over it since.
    const FileStamp &fileStamp() const { return m_fileStamp; }
    void setFileStamp(const FileStamp &stamp) { m_fileStamp = stamp; }

private:
    std::vector<std::unique_ptr<clsPrazdniki>> m_slots;
    qint32 m_kolGodov = -1;
    bool m_fileTakenWhole = true;
    FileStamp m_fileStamp;
};

} // namespace vexilo
