#include "PrazdnikiFile.h"

#include "common/RegularFile.h"
#include "common/SafeFile.h"
#include "common/SaveChecks.h"
#include "common/Text1251.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <limits>
#include <optional>

namespace vexilo {

namespace {

bool isSeparator(char c)
{
    return c == ',' || c == '\r' || c == '\n' || c == ' ' || c == '\t';
}

// Whole numbers one by one from a stream, read in chunks so that neither a huge file nor one
// endless line is ever held in memory.
class NumberReader
{
public:
    explicit NumberReader(QIODevice &in) : m_in(in) {}

    // The next value; nothing at the end of the text or when the value is not a whole number
    // that fits in 32 bits, after which the reader stays finished.
    std::optional<qint32> next()
    {
        if (m_finished)
            return std::nullopt;
        char c = 0;
        do {
            if (!get(c))
                return finish();
        } while (isSeparator(c));

        bool negative = false;
        if (c == '-' || c == '+') {
            negative = c == '-';
            if (!get(c))
                return broken();
        }
        qint64 value = 0;
        for (;;) {
            if (c < '0' || c > '9')
                return broken();
            value = value * 10 + (c - '0');
            if (value > qint64(std::numeric_limits<qint32>::max()) + 1)
                return broken();
            if (!get(c) || isSeparator(c))
                break;
        }
        value = negative ? -value : value;
        if (value > std::numeric_limits<qint32>::max())
            return broken();
        return static_cast<qint32>(value);
    }

    // Whether only separators are left up to the end of the text, and the text ended within the
    // size limit and with no broken value.
    bool nothingLeft()
    {
        if (m_finished)
            return m_ended && !m_capped && !m_broken;
        char c = 0;
        while (get(c))
            if (!isSeparator(c))
                return false;
        return !m_capped;
    }

private:
    std::optional<qint32> finish()
    {
        m_finished = true;
        return std::nullopt;
    }

    // Something that is no whole number in 32 bits.
    std::optional<qint32> broken()
    {
        m_broken = true;
        return finish();
    }

    bool get(char &c)
    {
        if (m_pos == m_chunk.size()) {
            if (m_total >= kMaxFileBytes) {
                char extra = 0;
                m_capped = m_in.read(&extra, 1) == 1;
                m_ended = true;
                return false;
            }
            m_chunk = m_in.read(std::min<qint64>(kChunk, kMaxFileBytes - m_total));
            m_pos = 0;
            m_total += m_chunk.size();
            if (m_chunk.isEmpty()) {
                m_ended = true;
                return false;
            }
        }
        c = m_chunk.at(m_pos++);
        return true;
    }

    static constexpr qint64 kChunk = 64 * 1024;
    QIODevice &m_in;
    QByteArray m_chunk;
    qsizetype m_pos = 0;
    qint64 m_total = 0;
    bool m_finished = false;
    bool m_ended = false;  // the text ran out
    bool m_capped = false; // more text than the reader takes
    bool m_broken = false; // a value that is no whole number
};

// Reads one year's twelve month lines into the entry; false when the text ran out or broke.
bool readMonths(NumberReader &reader, clsPrazdniki &year)
{
    for (qint32 M = 1; M <= 12; ++M) {
        const std::optional<qint32> k = reader.next();
        if (!k)
            return false;
        // The count is not trusted: the loop ends with the text, whatever it claims.
        for (qint32 j = 0; j < *k; ++j) {
            const std::optional<qint32> D = reader.next();
            if (!D)
                return false;
            // A day outside 0..31 is skipped and the reading goes on.
            (void)year.AddPrazdnik(M, *D);
        }
    }
    return true;
}

} // namespace

QString prazdnikiPath(const QString &PutProgrammy)
{
    return PutProgrammy + QStringLiteral("Праздники.dat");
}

bool readPrazdniki(QIODevice &in, PrazdnikiStore &store)
{
    store.empty();
    // Text editors put a byte-order mark before UTF-8; the numbers read the same without it.
    if (in.peek(3) == QByteArrayLiteral("\xEF\xBB\xBF"))
        in.skip(3);
    NumberReader reader(in);
    const std::optional<qint32> last = reader.next();
    if (!last)
        return reader.nothingLeft();
    if (*last < 0)
        return *last == -1 && reader.nothingLeft();
    // Years are appended as they are read, never sized from the count, which may be a lie.
    const qint64 announced = qint64(*last) + 1;
    const qint64 years = std::min<qint64>(announced, kMaxFileYears);
    for (qint64 i = 0; i < years; ++i) {
        const std::optional<qint32> God = reader.next();
        if (!God)
            return false;
        store.append();
        clsPrazdniki *year = store.entry(store.KolGodov());
        year->God = *God;
        if (!readMonths(reader, *year))
            return false;
    }
    return years == announced && reader.nothingLeft();
}

bool readPrazdniki(const QByteArray &bytes, PrazdnikiStore &store)
{
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    return readPrazdniki(buffer, store);
}

QByteArray writePrazdniki(const PrazdnikiStore &store)
{
    QStringList lines;
    qint32 c = -1;
    for (qint32 i = 0; i <= store.KolGodov(); ++i) {
        const clsPrazdniki *year = store.entry(i);
        if (year->DelGod != 0)
            continue;
        ++c;
        lines.append(QString::number(year->God));
        for (qint32 M = 1; M <= 12; ++M) {
            qint32 k = 0;
            QString s;
            for (qint32 D = 1; D <= 31; ++D) {
                if (year->mark(M, D) == 1) {
                    ++k;
                    s += QLatin1Char(',') + QString::number(D);
                }
            }
            lines.append(QString::number(k) + s);
        }
    }
    lines.prepend(QString::number(c));
    return textFileContent(lines);
}

void OpenPrazdniki(PrazdnikiStore &store, const QString &path)
{
    store.setFileStamp(stampOf(path));
    QFile file;
    switch (openRegularFile(file, path)) {
    case FileOpening::Opened:
        store.setFileTakenWhole(readPrazdniki(file, store));
        return;
    case FileOpening::Missing:
        store.empty();
        store.setFileTakenWhole(true); // nothing there to lose
        return;
    case FileOpening::NotRegular:
    case FileOpening::Unreadable:
        store.empty();
        store.setFileTakenWhole(false);
        return;
    }
}

PrazdnikiSaveResult SavePrazdniki(PrazdnikiStore &store, const QString &path,
                                  const SafeWriteHook &hook)
{
    PrazdnikiSaveResult result;
    if (std::optional<SafeWriteResult> refused = writeRefusal(path)) {
        result.write = std::move(*refused);
        return result;
    }
    if (!store.fileTakenWhole() && QFileInfo::exists(path)) {
        // The years the reader could not take are still in the old file: it is kept first.
        const std::optional<QString> copy = keepBackupCopy(path, result.write);
        if (!copy) {
            result.write.path = path;
            return result;
        }
        result.backupPath = *copy;
        store.setFileTakenWhole(true);
    }
    result.write = writeFileSafely(path, writePrazdniki(store), {Durability::Synced, hook});
    if (result.write.ok) {
        store.setFileTakenWhole(true);
        store.setFileStamp(stampOf(path));
    }
    return result;
}

bool prazdnikiChangedOnDisk(const PrazdnikiStore &store, const QString &path)
{
    return stampOf(path) != store.fileStamp();
}

} // namespace vexilo
