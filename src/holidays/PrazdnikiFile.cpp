#include "PrazdnikiFile.h"

#include "common/SafeFile.h"
#include "common/Text1251.h"
#include "platform/Platform.h"

#include <QBuffer>
#include <QFile>
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
                return finish();
        }
        qint64 value = 0;
        for (;;) {
            if (c < '0' || c > '9')
                return finish();
            value = value * 10 + (c - '0');
            if (value > qint64(std::numeric_limits<qint32>::max()) + 1)
                return finish();
            if (!get(c) || isSeparator(c))
                break;
        }
        value = negative ? -value : value;
        if (value > std::numeric_limits<qint32>::max())
            return finish();
        return static_cast<qint32>(value);
    }

private:
    std::optional<qint32> finish()
    {
        m_finished = true;
        return std::nullopt;
    }

    bool get(char &c)
    {
        if (m_pos == m_chunk.size()) {
            if (m_total >= kMaxFileBytes)
                return false;
            m_chunk = m_in.read(std::min<qint64>(kChunk, kMaxFileBytes - m_total));
            m_pos = 0;
            m_total += m_chunk.size();
            if (m_chunk.isEmpty())
                return false;
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

void readPrazdniki(QIODevice &in, PrazdnikiStore &store)
{
    store.empty();
    NumberReader reader(in);
    const std::optional<qint32> last = reader.next();
    if (!last || *last < 0)
        return;
    // Years are appended as they are read, never sized from the count, which may be a lie.
    const qint64 years = std::min<qint64>(qint64(*last) + 1, kMaxFileYears);
    for (qint64 i = 0; i < years; ++i) {
        const std::optional<qint32> God = reader.next();
        if (!God)
            return;
        store.append();
        clsPrazdniki *year = store.entry(store.KolGodov());
        year->God = *God;
        if (!readMonths(reader, *year))
            return;
    }
}

void readPrazdniki(const QByteArray &bytes, PrazdnikiStore &store)
{
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    readPrazdniki(buffer, store);
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
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        store.empty();
        return;
    }
    readPrazdniki(file, store);
}

bool SavePrazdniki(const PrazdnikiStore &store, const QString &path, Platform &platform)
{
    const SafeWriteResult result = writeFileSafely(path, writePrazdniki(store));
    if (result.ok)
        return true;
    const QString description = result.errorString.isEmpty()
                                    ? QStringLiteral("Не удалось записать файл.")
                                    : result.errorString;
    platform.messageBox(description, QString(), MsgIcon::None, MsgButtons::Ok);
    const QString text = result.writeProtected
                             ? QStringLiteral("Файл «%1» защищён от записи.").arg(path)
                             : QStringLiteral("Файл «%1» сохранить не возможно.").arg(path);
    platform.messageBox(text, QString(), MsgIcon::Critical, MsgButtons::Ok);
    return false;
}

} // namespace vexilo
