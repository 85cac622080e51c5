#include "holidays/PrazdnikiFile.h"

#include "common/SafeFile.h"

#include "platform/SaveReport.h"
#include "support/FakePlatform.h"
#include "support/SaveFaults.h"
#include "support/TempAppFolder.h"

#include <QFile>

#include <gtest/gtest.h>

#include <cerrno>

#include <sys/stat.h>

using namespace vexilo;
using namespace vexilo::test;

namespace {

const QString kFileName = QStringLiteral("Праздники.dat");

clsPrazdniki &addYear(PrazdnikiStore &store, qint32 God)
{
    store.append();
    clsPrazdniki &year = *store.entry(store.KolGodov());
    year.God = God;
    return year;
}

// A year line and twelve month lines without holidays.
QByteArray emptyYear(const QByteArray &God)
{
    return God + "\r\n" + QByteArray("0\r\n").repeated(12);
}

// Loads the bytes and checks the store is usable. How fast damaged counts load is shown by the
// holiday file's benchmark.
void checkedLoad(const QByteArray &bytes, PrazdnikiStore &store)
{
    readPrazdniki(bytes, store);
    EXPECT_GE(store.KolGodov(), -1);
    for (qint32 i = 0; i <= store.KolGodov(); ++i)
        EXPECT_NE(store.entry(i), nullptr);
}

// A save from the holiday editor: the file written, a failure told with the two boxes.
bool saveAndReport(PrazdnikiStore &store, const QString &path, FakePlatform &platform,
                   const SafeWriteHook &hook = {})
{
    const PrazdnikiSaveResult result = SavePrazdniki(store, path, hook);
    reportSaveFailure(platform, path, result.write);
    return result.write.ok;
}

} // namespace

TEST(PrazdnikiFile, WritesTheLiveYearsAndAnEmptyStoreAsSixBytes)
{
    PrazdnikiStore store;
    EXPECT_EQ(writePrazdniki(store), QByteArray("-1\r\n\r\n"));
    addYear(store, 2012).DelGod = 1;
    EXPECT_EQ(writePrazdniki(store), QByteArray("-1\r\n\r\n"));

    clsPrazdniki &y2013 = addYear(store, 2013);
    for (const qint32 d : {7, 1, 2})
        ASSERT_TRUE(y2013.AddPrazdnik(1, d));
    ASSERT_TRUE(y2013.AddPrazdnik(3, 8));
    EXPECT_EQ(writePrazdniki(store),
              "0\r\n2013\r\n3,1,2,7\r\n0\r\n1,8\r\n" + QByteArray("0\r\n").repeated(9) + "\r\n");

    readPrazdniki(QByteArray("-1\r\n\r\n"), store);
    EXPECT_EQ(store.KolGodov(), -1);
}

TEST(PrazdnikiFile, RoundTripKeepsLiveYearsInStoreOrderWithTheirMarks)
{
    PrazdnikiStore store;
    clsPrazdniki &a = addYear(store, 2015);
    ASSERT_TRUE(a.AddPrazdnik(12, 31));
    ASSERT_TRUE(a.AddPrazdnik(2, 30)); // a date February lacks is kept all the same
    addYear(store, 2013).DelGod = 1;
    ASSERT_TRUE(addYear(store, 2013).AddPrazdnik(5, 9)); // removed and added again
    addYear(store, 99);

    const QByteArray bytes = writePrazdniki(store);
    EXPECT_TRUE(bytes.contains("\r\n2015\r\n0\r\n1,30\r\n"));
    PrazdnikiStore loaded;
    readPrazdniki(bytes, loaded);
    ASSERT_EQ(loaded.KolGodov(), 2);
    EXPECT_EQ(loaded.entry(0)->God, 2015);
    EXPECT_EQ(loaded.entry(0)->List(2, 30), 1);
    EXPECT_EQ(loaded.entry(0)->List(12, 31), 1);
    EXPECT_EQ(loaded.entry(1)->God, 2013);
    EXPECT_EQ(loaded.entry(1)->DelGod, 0);
    EXPECT_EQ(loaded.entry(1)->List(5, 9), 1);
    EXPECT_EQ(loaded.entry(2)->God, 99);
    EXPECT_EQ(writePrazdniki(loaded), bytes);
}

TEST(PrazdnikiFile, ReadsValuesWhereverTheyStandAndSkipsImpossibleDays)
{
    PrazdnikiStore store;
    // Day 5 twice, day 0 (kept, never shown), days 32 and -3 skipped, all on odd lines.
    readPrazdniki("0,2013\r\n2,5,5,3\r\n0,32,-3,0\r\n0,0,0,0,0,0,0,0,0,0\r\n", store);
    ASSERT_EQ(store.KolGodov(), 0);
    EXPECT_EQ(store.entry(0)->God, 2013);
    EXPECT_EQ(store.entry(0)->List(2, 0), 1);
    EXPECT_EQ(store.entry(0)->List(2, 5), 0);
    // Day 5 written once, day 0 not at all.
    EXPECT_EQ(writePrazdniki(store),
              "0\r\n2013\r\n1,5\r\n" + QByteArray("0\r\n").repeated(11) + "\r\n");
}

TEST(PrazdnikiFile, DamagedFilesLoadAtOnceKeepingTheYearsRead)
{
    PrazdnikiStore store;
    const QByteArray y2013 = emptyYear("2013");

    // A count far beyond the years present keeps the years there.
    checkedLoad("2147483647\r\n" + y2013, store);
    EXPECT_EQ(store.KolGodov(), 0);
    EXPECT_EQ(store.NaytiGod(2013), 0);

    // A month count of two thousand million: the year keeps the days that are there.
    checkedLoad("0\r\n2014\r\n2000000000,1,2\r\n", store);
    ASSERT_EQ(store.KolGodov(), 0);
    EXPECT_EQ(store.entry(0)->List(1, 2), 1);

    // Text in the middle ends the reading there; so does a missing end.
    checkedLoad("2\r\n" + y2013 + "2014\r\n1,x\r\n" + QByteArray("0\r\n").repeated(11), store);
    EXPECT_EQ(store.KolGodov(), 1);
    EXPECT_EQ(store.NaytiGod(2014), 1);

    // A negative count other than -1, non-numeric, out of range or binary content: no years.
    for (const QByteArray &bytes :
         {"-2\r\n" + y2013, QByteArray("abc\r\n"), QByteArray("99999999999\r\n"),
          QByteArray("1.5\r\n"), QByteArray(), QByteArray("\x00\xff\x13\x88garbage", 12)}) {
        checkedLoad(bytes, store);
        EXPECT_EQ(store.KolGodov(), -1) << bytes.toHex().constData();
    }

    // More years than any file may bring stop at the limit; one endless value is no number.
    QByteArray many = "30000\r\n";
    for (int i = 0; i < 30000; ++i)
        many += y2013;
    checkedLoad(many, store);
    EXPECT_EQ(store.KolGodov(), kMaxFileYears - 1);
    checkedLoad(QByteArray(20 * 1024 * 1024, '7'), store);
    EXPECT_EQ(store.KolGodov(), -1);
}

TEST(PrazdnikiFile, OpenReplacesTheStoreAndAMissingFileEmptiesIt)
{
    TempAppFolder app;
    PrazdnikiStore store;
    addYear(store, 2020);
    app.write(kFileName, "0\r\n" + emptyYear("2013") + "\r\n");
    OpenPrazdniki(store, prazdnikiPath(app.path()));
    ASSERT_EQ(store.KolGodov(), 0);
    EXPECT_EQ(store.entry(0)->God, 2013);

    OpenPrazdniki(store, app.file(QStringLiteral("absent.dat")));
    EXPECT_EQ(store.KolGodov(), -1);
}

TEST(PrazdnikiFile, SaveWritesTheFileOrTellsWhyAndKeepsTheOldOne)
{
    TempAppFolder app;
    PrazdnikiStore store;
    addYear(store, 2013);
    const QString path = prazdnikiPath(app.path());
    const auto notSaveable = [](const QString &p) {
        return QStringLiteral("Файл «") + p + QStringLiteral("» сохранить не возможно.");
    };
    {
        FakePlatform platform;
        EXPECT_TRUE(saveAndReport(store, path, platform));
        EXPECT_TRUE(platform.messages.empty());
        EXPECT_EQ(app.read(kFileName), writePrazdniki(store));
    }

    // A folder in the way, or a missing folder.
    app.makeFolder(QStringLiteral("in the way/") + kFileName);
    for (const QString &p : {app.file(QStringLiteral("in the way/") + kFileName),
                             app.file(QStringLiteral("missing/") + kFileName)}) {
        FakePlatform platform;
        EXPECT_FALSE(saveAndReport(store, p, platform));
        ASSERT_EQ(platform.messages.size(), 2u);
        EXPECT_FALSE(platform.messages[0].text.isEmpty());
        EXPECT_TRUE(platform.messages[0].caption.isEmpty());
        EXPECT_EQ(platform.messages[0].icon, MsgIcon::None);
        EXPECT_EQ(platform.messages[1].text, notSaveable(p));
        EXPECT_TRUE(platform.messages[1].caption.isEmpty());
        EXPECT_EQ(platform.messages[1].icon, MsgIcon::Critical);
    }

    // A write that breaks off, a failed rename, a refused or read-only open.
    const QByteArray old = app.read(kFileName);
    addYear(store, 2014);
    const std::array<std::tuple<SafeWriteHook, QString>, 4> faults = {{
        {failAt(SafeWriteStage::Write, ENOSPC), notSaveable(path)},
        {failAt(SafeWriteStage::Rename, EIO), notSaveable(path)},
        {failOpening(EACCES), QStringLiteral("Файл «%1» защищён от записи.").arg(path)},
        {failOpening(EROFS), QStringLiteral("Файл «%1» защищён от записи.").arg(path)},
    }};
    for (const auto &[fault, text] : faults) {
        FakePlatform platform;
        EXPECT_FALSE(saveAndReport(store, path, platform, fault));
        EXPECT_EQ(app.read(kFileName), old);
        ASSERT_EQ(platform.messages.size(), 2u);
        EXPECT_EQ(platform.messages[1].text, text);
    }
}

TEST(PrazdnikiFile, OnlyATextTakenToItsEndReadsWhole)
{
    const QByteArray y2013 = emptyYear("2013");
    const QByteArray good = "0\r\n" + y2013 + "\r\n";
    const struct
    {
        QByteArray bytes;
        bool whole;
        qint32 KolGodov;
    } cases[] = {
        {good, true, 0},
        {"-1\r\n\r\n", true, -1},
        {QByteArray(), true, -1},
        {"\xEF\xBB\xBF" + good, true, 0},                 // a text editor's byte-order mark
        {"1\r\n" + y2013 + "\r\n", false, 0},             // a year short of the count
        {"0\r\n" + y2013 + y2013 + "\r\n", false, 0},     // a year beyond it
        {"1\r\n" + y2013 + "x\r\n" + y2013, false, 0},    // a stray character between years
        {"0\r\n" + y2013 + "\r\n\xEF\xBB\xBF", false, 0}, // a mark anywhere else
        {"-2\r\n", false, -1},
        {"-1\r\n-\r\n", false, -1},
    };
    for (const auto &c : cases) {
        PrazdnikiStore store;
        EXPECT_EQ(readPrazdniki(c.bytes, store), c.whole) << c.bytes.toHex().constData();
        EXPECT_EQ(store.KolGodov(), c.KolGodov) << c.bytes.toHex().constData();
    }
}

TEST(PrazdnikiFile, APipeOrAFolderLoadsAsNoFileWithoutWaiting)
{
    TempAppFolder app;
    const QString fifo = app.file(kFileName);
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0666), 0);
    for (const QString &path : {fifo, app.path()}) {
        PrazdnikiStore store;
        addYear(store, 2020);
        OpenPrazdniki(store, path);
        EXPECT_EQ(store.KolGodov(), -1);
        EXPECT_FALSE(store.fileTakenWhole());
        // Nothing replaces it either.
        EXPECT_FALSE(SavePrazdniki(store, path).write.ok);
    }
}

TEST(PrazdnikiFile, AFileNotTakenWholeIsKeptOnceBeforeTheFirstSaveOverIt)
{
    TempAppFolder app;
    const QString path = prazdnikiPath(app.path());
    const QByteArray damaged = "1\r\n" + emptyYear("2013") + "2014\r\nоops";
    app.write(kFileName, damaged);
    app.write(kFileName + QStringLiteral(".bak"), "someone's older copy");
    PrazdnikiStore store;
    OpenPrazdniki(store, path);
    ASSERT_EQ(store.KolGodov(), 1);
    EXPECT_FALSE(store.fileTakenWhole());

    PrazdnikiSaveResult result = SavePrazdniki(store, path);
    ASSERT_TRUE(result.write.ok) << result.write.errorString.toStdString();
    EXPECT_EQ(result.backupPath, path + QStringLiteral(".bak2"));
    EXPECT_EQ(app.read(kFileName + QStringLiteral(".bak2")), damaged);
    EXPECT_EQ(app.read(kFileName + QStringLiteral(".bak")), QByteArray("someone's older copy"));
    EXPECT_EQ(app.read(kFileName), writePrazdniki(store));

    // The next save, and any save over a file read whole, keeps no copy.
    result = SavePrazdniki(store, path);
    EXPECT_TRUE(result.write.ok);
    EXPECT_TRUE(result.backupPath.isEmpty());
    EXPECT_FALSE(QFile::exists(path + QStringLiteral(".bak3")));
}

TEST(PrazdnikiFile, WhenNoCopyCanBeMadeADamagedFileIsNotSavedOver)
{
    TempAppFolder app;
    const QByteArray damaged = "1\r\n" + emptyYear("2013");
    app.makeFolder(QStringLiteral("locked"));
    app.write(QStringLiteral("locked/") + kFileName, damaged);
    const QString path = app.file(QStringLiteral("locked/") + kFileName);
    // An ordinary user's file in a folder that takes no new file.
    ASSERT_EQ(::chmod(QFile::encodeName(app.path()).constData(), 0755), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0666), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(app.file(QStringLiteral("locked"))).constData(), 0555), 0);
    const int status = runAsNobody([&] {
        PrazdnikiStore store;
        OpenPrazdniki(store, path);
        const PrazdnikiSaveResult result = SavePrazdniki(store, path);
        // The file itself may be written: the folder is what refuses, and the message says so.
        return !result.write.ok && !result.write.writeProtected && result.backupPath.isEmpty() &&
                       result.write.errorString.startsWith(QStringLiteral("Копию файла")) &&
                       result.write.errorString.contains(QStringLiteral("нельзя записать файлы"))
                   ? 0
                   : 1;
    });
    // Writable again, so that the folder can be cleaned away whoever runs the test.
    ::chmod(QFile::encodeName(app.file(QStringLiteral("locked"))).constData(), 0755);
    if (status < 0)
        GTEST_SKIP() << "no unprivileged user to run as";
    EXPECT_EQ(status, 0);
    EXPECT_EQ(app.read(QStringLiteral("locked/") + kFileName), damaged);
}

// A damaged file gets its copy only when the save over it can really happen, and a save that
// cannot make one says why.
TEST(PrazdnikiFile, ACopyIsKeptOnlyForASaveThatCanHappen)
{
    TempAppFolder app;
    const QByteArray damaged = "1\r\n" + emptyYear("2013");
    const QString path = app.file(kFileName);
    app.write(kFileName, damaged);
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0444), 0);
    for (int attempt = 0; attempt < 3; ++attempt) { // as at every start
        PrazdnikiStore store;
        OpenPrazdniki(store, path);
        const PrazdnikiSaveResult result = SavePrazdniki(store, path);
        EXPECT_FALSE(result.write.ok);
        EXPECT_TRUE(result.write.writeProtected);
        EXPECT_TRUE(result.backupPath.isEmpty());
    }
    EXPECT_FALSE(QFile::exists(path + QStringLiteral(".bak")));
    EXPECT_EQ(app.read(kFileName), damaged);

    // Every copy name taken: the message names the way out.
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0644), 0);
    for (int n = 1; n <= 999; ++n)
        app.write(kFileName + QStringLiteral(".bak") + (n > 1 ? QString::number(n) : QString()),
                  "x");
    PrazdnikiStore store;
    OpenPrazdniki(store, path);
    const PrazdnikiSaveResult result = SavePrazdniki(store, path);
    EXPECT_FALSE(result.write.ok);
    EXPECT_TRUE(result.write.errorString.contains(QStringLiteral("999 копий")))
        << result.write.errorString.toStdString();
    EXPECT_EQ(app.read(kFileName), damaged);
}
