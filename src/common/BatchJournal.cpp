#include "BatchJournal.h"

#include "common/FileSteps.h"
#include "common/ProgramText.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vexilo::batchjournal {

using namespace filesteps;

namespace {

constexpr char kHeader[] = "vexilo-batch 1";
// Far beyond any real batch (a year has at most twelve rows, a glyph set seventeen files).
constexpr qsizetype kMaxJournalBytes = 1 << 20;
constexpr qsizetype kMaxEntries = 4096;
constexpr auto kLockPoll = std::chrono::milliseconds(5);

QString inFolder(const QString &folder, const QString &name)
{
    return folder + u'/' + name;
}

QByteArray encodedName(const QString &name)
{
    return encoded(name).toPercentEncoding();
}

// A name as the journal holds it, refused unless it reads back the same.
std::optional<QString> decodedName(const QByteArray &field)
{
    const QByteArray raw = QByteArray::fromPercentEncoding(field);
    if (raw.isEmpty() || raw.toPercentEncoding() != field)
        return std::nullopt;
    return QFile::decodeName(raw);
}

// A plain file of the folder that a commit may replace: not a path, not ours.
bool isTargetName(const QString &name)
{
    return !name.isEmpty() && !name.contains(u'/') && !name.contains(QChar(0)) &&
           name != QStringLiteral(".") && name != QStringLiteral("..") && !isTemporaryName(name) &&
           name != QLatin1String(kJournalName);
}

bool isGlyphSetFiles(const QStringList &names)
{
    const QString extension = names.front().endsWith(QStringLiteral(".svg"))
                                  ? QStringLiteral(".svg")
                                  : QStringLiteral(".gif");
    QStringList files;
    for (int digit = 0; digit < 10; ++digit)
        files.append(QString::number(digit) + extension);
    for (const QString &weekday : weekdayNames())
        files.append(weekday + extension);
    // A set's month titles are written in the same save.
    for (const QString &month : monthNames())
        files.append(month + extension);
    return std::all_of(names.begin(), names.end(),
                       [&files](const QString &name) { return files.contains(name); });
}

std::optional<JournalEntry> parseEntry(const QByteArray &line)
{
    const QList<QByteArray> fields = line.split(' ');
    if (fields.size() != 4)
        return std::nullopt;
    bool sizeOk = false;
    bool inodeOk = false;
    JournalEntry entry;
    entry.size = fields[0].toLongLong(&sizeOk);
    entry.inode = fields[1].toULongLong(&inodeOk);
    const std::optional<QString> temporary = decodedName(fields[2]);
    const std::optional<QString> target = decodedName(fields[3]);
    if (!sizeOk || !inodeOk || entry.size < 0 || !temporary || !target ||
        !isTemporaryName(*temporary) || !isTargetName(*target))
        return std::nullopt;
    entry.temporary = *temporary;
    entry.target = *target;
    return entry;
}

enum class JournalState { Absent, Foreign, Damaged, Whole };

// The folder's journal when it is a file of ours, read within bounds.
JournalState readJournal(const QString &folder, std::vector<JournalEntry> &entries)
{
    const QByteArray path = encoded(inFolder(folder, QLatin1String(kJournalName)));
    const int fd = ::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT ? JournalState::Absent : JournalState::Foreign;
    struct stat st
    {
    };
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid()) {
        ::close(fd);
        return JournalState::Foreign;
    }
    QByteArray content;
    if (st.st_size <= kMaxJournalBytes) {
        content.resize(qsizetype(st.st_size));
        qsizetype done = 0;
        while (done < content.size()) {
            const ssize_t n = ::read(fd, content.data() + done, size_t(content.size() - done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            done += n;
        }
        content.truncate(done);
    }
    ::close(fd);
    std::optional<std::vector<JournalEntry>> parsed = parseJournal(content);
    if (!parsed)
        return JournalState::Damaged;
    entries = std::move(*parsed);
    return JournalState::Whole;
}

bool isFileOrNothing(const QString &path)
{
    struct stat st
    {
    };
    if (::lstat(encoded(path).constData(), &st) != 0)
        return errno == ENOENT;
    return S_ISREG(st.st_mode);
}

// A file the completion may put a row over: none yet, or a regular file someone may write.
bool mayReplace(const QString &target)
{
    struct stat st
    {
    };
    if (::lstat(encoded(target).constData(), &st) != 0)
        return errno == ENOENT;
    return S_ISREG(st.st_mode) && !nobodyMayWrite(st);
}

} // namespace

bool isOneSavesTargets(const QStringList &names)
{
    if (names.isEmpty() || !std::all_of(names.begin(), names.end(), isTargetName))
        return false;
    if (isGlyphSetFiles(names))
        return true;
    // The longest suffix is taken, so every file of one save gives the same stem.
    static const QRegularExpression sheetFile(
        QStringLiteral("^(.+?)((?:_стр[1-9][0-9]{0,3})?(?:_ряд[1-9][0-9]{0,3})?)"
                       "\\.(bmp|png|pdf|svg)$"),
        QRegularExpression::DotMatchesEverythingOption);
    QString stem;
    QString extension;
    for (const QString &name : names) {
        const QRegularExpressionMatch match = sheetFile.match(name);
        if (!match.hasMatch())
            return false;
        // The single file of a save is alone; rows and pages are never beside it.
        if (match.capturedLength(2) == 0 && names.size() > 1)
            return false;
        if (stem.isNull()) {
            stem = match.captured(1);
            extension = match.captured(3);
        } else if (match.captured(1) != stem || match.captured(3) != extension) {
            return false;
        }
    }
    return true;
}

QByteArray journalContent(const std::vector<JournalEntry> &entries)
{
    QByteArray content = QByteArray(kHeader) + '\n';
    for (const JournalEntry &entry : entries)
        content += QByteArray::number(entry.size) + ' ' + QByteArray::number(entry.inode) + ' ' +
                   encodedName(entry.temporary) + ' ' + encodedName(entry.target) + '\n';
    content += "end " + QByteArray::number(qsizetype(entries.size())) + '\n';
    return content;
}

std::optional<std::vector<JournalEntry>> parseJournal(const QByteArray &content)
{
    if (content.size() > kMaxJournalBytes || !content.endsWith('\n'))
        return std::nullopt;
    QList<QByteArray> lines = content.chopped(1).split('\n');
    if (lines.size() < 2 || lines.size() > kMaxEntries + 2 || lines.front() != kHeader)
        return std::nullopt;
    std::vector<JournalEntry> entries;
    for (qsizetype i = 1; i + 1 < lines.size(); ++i) {
        std::optional<JournalEntry> entry = parseEntry(lines[i]);
        if (!entry)
            return std::nullopt;
        entries.push_back(std::move(*entry));
    }
    // The count at the end tells a whole journal from one a power cut cut short.
    if (lines.back() != "end " + QByteArray::number(qsizetype(entries.size())))
        return std::nullopt;
    // A journal made by hand could otherwise have any file of the folder replaced.
    QStringList targets;
    for (const JournalEntry &entry : entries)
        targets.append(entry.target);
    if (!entries.empty() && !isOneSavesTargets(targets))
        return std::nullopt;
    return entries;
}

std::optional<JournalEntry> describeRename(const QString &temporary, const QString &target)
{
    struct stat st
    {
    };
    if (::lstat(encoded(temporary).constData(), &st) != 0)
        return std::nullopt;
    return JournalEntry{QFileInfo(temporary).fileName(), QFileInfo(target).fileName(),
                        qint64(st.st_size), quint64(st.st_ino)};
}

bool journalPresent(const QString &folder)
{
    struct stat st
    {
    };
    return ::lstat(encoded(inFolder(folder, QLatin1String(kJournalName))).constData(), &st) == 0;
}

int writeJournal(const QString &folder, const std::vector<JournalEntry> &entries,
                 Durability durability)
{
    QString temporary;
    const int fd = createTemporary(folder, temporary);
    if (fd < 0)
        return errno;
    const QByteArray content = journalContent(entries);
    int err = produceInto(
        fd, [&content](QIODevice &out) { return out.write(content) == content.size(); },
        durability);
    ::close(fd);
    if (err == 0 &&
        ::rename(encoded(temporary).constData(),
                 encoded(inFolder(folder, QLatin1String(kJournalName))).constData()) != 0)
        err = errno;
    if (err != 0) {
        ::unlink(encoded(temporary).constData());
        return err;
    }
    // Before any file is replaced, the journal that can complete the set is on the disk.
    if (durability == Durability::Synced)
        syncFolder(folder);
    return 0;
}

void removeJournal(const QString &folder)
{
    ::unlink(encoded(inFolder(folder, QLatin1String(kJournalName))).constData());
}

QStringList journalTemporaries(const QString &folder)
{
    std::vector<JournalEntry> entries;
    QStringList names;
    if (readJournal(folder, entries) == JournalState::Whole)
        for (const JournalEntry &entry : entries)
            names.append(entry.temporary);
    return names;
}

void rollForward(const QString &folder)
{
    std::vector<JournalEntry> entries;
    switch (readJournal(folder, entries)) {
    case JournalState::Absent:
    case JournalState::Foreign: // not ours to act on nor to remove
        return;
    case JournalState::Damaged: // only a power cut leaves one: nothing in it can be trusted
        removeJournal(folder);
        return;
    case JournalState::Whole:
        break;
    }
    std::vector<const JournalEntry *> waiting;
    bool intact = true;
    for (const JournalEntry &entry : entries) {
        struct stat st
        {
        };
        // Gone: renamed before the commit stopped.
        if (::lstat(encoded(inFolder(folder, entry.temporary)).constData(), &st) != 0)
            continue;
        // No commit leaves a link, a folder or another's file under its names: the journal
        // is not what an export wrote, and nothing it names is touched.
        if (!S_ISREG(st.st_mode) || st.st_uid != ::geteuid() ||
            !isFileOrNothing(inFolder(folder, entry.target))) {
            removeJournal(folder);
            return;
        }
        // Another inode: a later file took the name.
        if (quint64(st.st_ino) != entry.inode)
            continue;
        if (qint64(st.st_size) != entry.size)
            intact = false;
        waiting.push_back(&entry);
    }
    for (const JournalEntry *entry : waiting) {
        const QByteArray temporary = encoded(inFolder(folder, entry->temporary));
        const QString target = inFolder(folder, entry->target);
        if (!intact || !mayReplace(target) ||
            ::rename(temporary.constData(), encoded(target).constData()) != 0)
            ::unlink(temporary.constData());
    }
    syncFolder(folder);
    removeJournal(folder);
}

FolderLock::FolderLock(const QString &folder, int waitMs)
    : m_fd(::open(encoded(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC))
{
    if (m_fd < 0)
        return;
    const QDeadlineTimer deadline(waitMs);
    // Polled briefly rather than blocking, so that a holder that hangs cannot hang us.
    while (::flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
        const int err = errno;
        if (err == EINTR)
            continue;
        if (err != EWOULDBLOCK || deadline.hasExpired()) {
            m_busy = err == EWOULDBLOCK;
            ::close(m_fd);
            m_fd = -1;
            return;
        }
        std::this_thread::sleep_for(kLockPoll);
    }
}

FolderLock::~FolderLock()
{
    if (m_fd >= 0)
        ::close(m_fd); // closing lets go of the lock
}

QString journalFailureMessage(const QString &folder, int err)
{
    QString message = QStringLiteral("Журнал сохранения «%1» не записать.")
                          .arg(inFolder(folder, QLatin1String(kJournalName)));
    if (const QString reason = describeSystemError(err); !reason.isEmpty())
        message += u' ' + reason;
    return message;
}

bool journalBlocked(const QString &folder)
{
    struct stat st
    {
    };
    return ::lstat(encoded(inFolder(folder, QLatin1String(kJournalName))).constData(), &st) == 0 &&
           S_ISDIR(st.st_mode);
}

QString busyFolderMessage(const QString &folder)
{
    return QStringLiteral("Файлы в папке «%1» сейчас записывает другая копия программы.")
        .arg(folder);
}

} // namespace vexilo::batchjournal
