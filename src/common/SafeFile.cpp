#include "SafeFile.h"

#include "common/BatchJournal.h"
#include "common/FileSteps.h"
#include "common/RegularFile.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <memory>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vexilo {

using namespace filesteps;

bool isWriteProtectedError(int errnoValue)
{
    return errnoValue == EACCES || errnoValue == EPERM || errnoValue == EROFS;
}

QString describeSystemError(int errnoValue)
{
    switch (errnoValue) {
    case EACCES:
    case EPERM:
        return QStringLiteral("Отказано в доступе.");
    case EROFS:
        return QStringLiteral("Файловая система доступна только для чтения.");
    case ENOSPC:
        return QStringLiteral("На диске не осталось свободного места.");
    case EDQUOT:
        return QStringLiteral("Превышена дисковая квота.");
    case ENOENT:
        return QStringLiteral("Путь не найден.");
    case EISDIR:
        return QStringLiteral("Указанное имя занято папкой.");
    case ENOTDIR:
        return QStringLiteral("Часть пути не является папкой.");
    case ENAMETOOLONG:
        return QStringLiteral("Слишком длинное имя файла.");
    case ELOOP:
        return QStringLiteral("Символические ссылки образуют петлю.");
    case EIO:
        return QStringLiteral("Ошибка ввода-вывода.");
    default:
        return {};
    }
}

namespace {

QString folderOf(const QString &target)
{
    return QFileInfo(target).absolutePath();
}

} // namespace

SafeWriteResult refusedWrite(const QString &path, const QString &reason)
{
    SafeWriteResult result;
    result.ok = false;
    result.path = path;
    result.errorString = reason;
    return result;
}

QStringList failureLines(const SafeWriteResult &result, WrittenThing thing)
{
    const QString description =
        result.errorString.isEmpty() ? QStringLiteral("Ошибка записи файла.") : result.errorString;
    const QString verdict =
        thing == WrittenThing::GlyphSet
            ? QStringLiteral("Набор картинок не записан («%1»).").arg(result.path)
        : result.writeProtected
            ? QStringLiteral("Файл «%1» защищён от записи.").arg(result.path)
            : QStringLiteral("Файл «%1» сохранить не возможно.").arg(result.path);
    return {description, verdict};
}

SafeFileBatch::SafeFileBatch(SafeWriteOptions options) : m_options(std::move(options)) {}

SafeFileBatch::~SafeFileBatch()
{
    for (const Staged &staged : m_staged)
        if (!staged.temporary.isEmpty())
            ::unlink(encoded(staged.temporary).constData());
}

SafeWriteResult SafeFileBatch::stage(const QString &path, const Producer &produce)
{
    auto injected = [this](SafeWriteStage stage) {
        return m_options.hook ? m_options.hook(stage) : 0;
    };
    int err = 0;
    const std::optional<QString> target = resolveLinks(path, err);
    if (!target)
        return failure(path, err);
    struct stat old
    {
    };
    const bool exists = ::stat(encoded(*target).constData(), &old) == 0;
    if (exists)
        if (std::optional<SafeWriteResult> refused = refusal(path, *target, old))
            return *refused;
    if (nameTooLong(*target))
        return failure(path, ENAMETOOLONG);

    Staged staged{path, *target, {}, {}, false};
    int fd = -1;
    err = injected(SafeWriteStage::CreateTemporary);
    if (err == 0) {
        // Beside the target, so that the rename stays on one file system and is one step.
        fd = createTemporary(QFileInfo(*target).absolutePath(), staged.temporary,
                             exists ? 0600 : 0666);
        err = fd < 0 ? errno : 0;
    }
    if (fd < 0) {
        if (!exists)
            return failure(path, err);
        // The folder takes no new file, but the file itself may be written: it is, in place,
        // at commit; until then the content waits in memory.
        QBuffer buffer(&staged.inPlace);
        buffer.open(QIODevice::WriteOnly);
        if (!produce(buffer))
            return failure(path, EIO);
        if (const int fault = injected(SafeWriteStage::Write))
            return failure(path, fault);
        m_staged.push_back(std::move(staged));
        return {};
    }
    // Listed at once, so that the temporary file goes with the batch whatever happens next.
    m_staged.push_back(staged);
    takeOldModes(fd, exists, old);
    err = produceInto(fd, produce, m_options.durability);
    // An injected write fault strikes after the content went into the temporary file, as a
    // full disk would when the data reaches it.
    if (err == 0)
        err = injected(SafeWriteStage::Write);
    ::close(fd);
    if (err != 0) {
        ::unlink(encoded(staged.temporary).constData());
        m_staged.pop_back();
        return failure(path, err);
    }
    return {};
}

QStringList SafeFileBatch::pendingFolders(bool renamesOnly) const
{
    QStringList folders;
    for (const Staged &staged : m_staged)
        if (!staged.done && (!renamesOnly || !staged.temporary.isEmpty()) &&
            !folders.contains(folderOf(staged.target)))
            folders.append(folderOf(staged.target));
    // In one order for every commit, so that two commits never hold one lock each and wait
    // for the other's.
    folders.sort();
    return folders;
}

SafeWriteResult SafeFileBatch::writeJournals(const QStringList &folders)
{
    for (qsizetype i = 0; i < folders.size(); ++i) {
        std::vector<batchjournal::JournalEntry> entries;
        QString firstPath;
        int err = 0;
        for (const Staged &staged : m_staged) {
            if (staged.done || staged.temporary.isEmpty() || folderOf(staged.target) != folders[i])
                continue;
            if (firstPath.isEmpty())
                firstPath = staged.path;
            const std::optional<batchjournal::JournalEntry> entry =
                batchjournal::describeRename(staged.temporary, staged.target);
            if (!entry) {
                err = ENOENT; // someone removed the temporary file
                break;
            }
            entries.push_back(*entry);
        }
        // A temporary that vanished is the file's fault; a journal not written the journal's.
        const bool journalFault = err == 0;
        if (err == 0)
            err = batchjournal::writeJournal(folders[i], entries, m_options.durability);
        if (err != 0) {
            for (qsizetype j = 0; j < i; ++j)
                batchjournal::removeJournal(folders[j]);
            SafeWriteResult result = failure(firstPath, err);
            if (journalFault) {
                result.errorString = batchjournal::journalFailureMessage(folders[i], err);
                result.writeProtected = false; // the rows themselves may be written
            }
            return result;
        }
    }
    return {};
}

SafeWriteResult SafeFileBatch::interrupted(const QString &path, int err, bool handOver,
                                           const QStringList &journaled)
{
    SafeWriteResult result = failure(path, err);
    if (!handOver) {
        // Nothing was replaced: the batch stays as it was, for the destructor or another try.
        for (const QString &folder : journaled)
            batchjournal::removeJournal(folder);
        return result;
    }
    // Some files are replaced already and cannot be put back: the journal keeps the others,
    // so the next commit into their folder, or its check, completes the set.
    for (Staged &staged : m_staged) {
        if (!staged.temporary.isEmpty()) {
            staged.temporary.clear();
            staged.done = true;
        }
    }
    result.errorString +=
        QStringLiteral(" Остальные файлы будут поставлены на место при следующем сохранении в "
                       "эту папку.");
    return result;
}

SafeWriteResult SafeFileBatch::commit()
{
    const QStringList folders = pendingFolders(true);
    qsizetype pending = 0;
    qsizetype renames = 0;
    for (const Staged &staged : m_staged) {
        pending += staged.done ? 0 : 1;
        renames += !staged.done && !staged.temporary.isEmpty() ? 1 : 0;
    }
    // A single file can neither be left half a set nor mix with another commit's.
    const bool journaled = renames > 1;
    std::vector<std::unique_ptr<batchjournal::FolderLock>> locks;
    for (const QString &folder : pendingFolders(false)) {
        if (pending < 2 && !batchjournal::journalPresent(folder))
            continue;
        if (!m_options.folderLocked)
            locks.push_back(std::make_unique<batchjournal::FolderLock>(folder));
        if (!locks.empty() && locks.back()->busy()) {
            const auto inFolder = std::find_if(m_staged.begin(), m_staged.end(), [&](auto &s) {
                return folderOf(s.target) == folder;
            });
            SafeWriteResult result = failure(inFolder->path, EBUSY);
            result.errorString = batchjournal::busyFolderMessage(folder);
            return result;
        }
        // A commit killed half-way is completed before this one puts anything in place.
        batchjournal::rollForward(folder);
    }
    if (journaled)
        if (SafeWriteResult written = writeJournals(folders); !written.ok)
            return written;
    const QStringList journalFolders = journaled ? folders : QStringList{};

    bool replacedAny = false;
    QStringList touched;
    for (Staged &staged : m_staged) {
        if (staged.done)
            continue;
        int err = 0;
        if (staged.temporary.isEmpty()) {
            err = writeInPlace(staged.target, staged.inPlace, m_options.durability, m_options.hook);
        } else {
            err = m_options.hook ? m_options.hook(SafeWriteStage::Rename) : 0;
            if (err == 0 && ::rename(encoded(staged.temporary).constData(),
                                     encoded(staged.target).constData()) != 0)
                err = errno;
        }
        if (err != 0)
            return interrupted(staged.path, err, journaled && replacedAny, journalFolders);
        staged.temporary.clear();
        staged.done = true;
        replacedAny = true;
        if (!touched.contains(folderOf(staged.target)))
            touched.append(folderOf(staged.target));
    }
    m_staged.clear();
    for (const QString &folder : touched) {
        // The rename is only durable once the folder that names the file is on the disk.
        if (m_options.durability == Durability::Synced)
            syncFolder(folder);
        if (journalFolders.contains(folder))
            batchjournal::removeJournal(folder);
        removeStaleTemporaries(folder);
    }
    return {};
}

SafeWriteResult writeFileSafely(const QString &path, const QByteArray &data,
                                const SafeWriteOptions &options)
{
    return writeFileSafely(
        path, [&data](QIODevice &device) { return device.write(data) == data.size(); }, options);
}

SafeWriteResult writeFileSafely(const QString &path, const Producer &produce,
                                const SafeWriteOptions &options)
{
    SafeFileBatch batch(options);
    if (SafeWriteResult staged = batch.stage(path, produce); !staged.ok)
        return staged;
    return batch.commit();
}

} // namespace vexilo
