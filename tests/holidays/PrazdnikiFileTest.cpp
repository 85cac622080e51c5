#include "holidays/PrazdnikiFile.h"

#include "common/SafeFile.h"

#include "support/FakePlatform.h"
#include "support/TempAppFolder.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <cerrno>

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

// A year line and twelve month lines, each with no holidays.
QByteArray emptyYear(const QByteArray &God)
{
    return God + "\r\n" + QByteArray("0\r\n").repeated(12);
}

// Loads the bytes and says how long it took, in milliseconds.
qint64 timedLoad(const QByteArray &bytes, PrazdnikiStore &store)
{
    QElapsedTimer timer;
    timer.start();
    readPrazdniki(bytes, store);
    return timer.elapsed();
}

// The store stays usable: entries 0..KolGodov are there and the next one is not.
void expectConsistent(PrazdnikiStore &store)
{
    EXPECT_GE(store.KolGodov(), -1);
    for (qint32 i = 0; i <= store.KolGodov(); ++i)
        ASSERT_NE(store.entry(i), nullptr);
    if (store.KolGodov() >= 0) {
        EXPECT_EQ(store.entry(store.KolGodov() + 1), nullptr);
    }
}

} // namespace

TEST(PrazdnikiFile, WritesTheLiveYearsLineByLine)
{
    PrazdnikiStore store;
    clsPrazdniki &y2013 = addYear(store, 2013);
    for (const qint32 d : {7, 1, 2})
        ASSERT_TRUE(y2013.AddPrazdnik(1, d));
    ASSERT_TRUE(y2013.AddPrazdnik(3, 8));

    const QByteArray expected =
        "0\r\n2013\r\n3,1,2,7\r\n0\r\n1,8\r\n" + QByteArray("0\r\n").repeated(9) + "\r\n";
    EXPECT_EQ(writePrazdniki(store), expected);

    // A removed year is left out and the count follows the years written.
    addYear(store, 2014).DelGod = 1;
    EXPECT_EQ(writePrazdniki(store), expected);
}

TEST(PrazdnikiFile, AStoreWithoutLiveYearsIsSixBytesAndLoadsEmpty)
{
    PrazdnikiStore store;
    EXPECT_EQ(writePrazdniki(store), QByteArray("-1\r\n\r\n"));
    addYear(store, 2013).DelGod = 1;
    EXPECT_EQ(writePrazdniki(store), QByteArray("-1\r\n\r\n"));

    PrazdnikiStore loaded;
    addYear(loaded, 1999);
    readPrazdniki(QByteArray("-1\r\n\r\n"), loaded);
    EXPECT_EQ(loaded.KolGodov(), -1);
    EXPECT_EQ(loaded.NaytiGod(1999), -1);
}

TEST(PrazdnikiFile, RoundTripKeepsLiveYearsInStoreOrderWithTheirMarks)
{
    PrazdnikiStore store;
    clsPrazdniki &a = addYear(store, 2015);
    ASSERT_TRUE(a.AddPrazdnik(12, 31));
    ASSERT_TRUE(a.AddPrazdnik(2, 30)); // a date February lacks is kept all the same
    addYear(store, 2013).DelGod = 1;
    clsPrazdniki &b = addYear(store, 2013); // removed and added again
    ASSERT_TRUE(b.AddPrazdnik(5, 9));
    clsPrazdniki &c = addYear(store, 99);
    for (qint32 d = 1; d <= 31; ++d)
        ASSERT_TRUE(c.AddPrazdnik(7, d));

    const QByteArray bytes = writePrazdniki(store);
    EXPECT_TRUE(bytes.contains("\r\n2015\r\n0\r\n1,30\r\n"));

    PrazdnikiStore loaded;
    readPrazdniki(bytes, loaded);
    ASSERT_EQ(loaded.KolGodov(), 2);
    EXPECT_EQ(loaded.entry(0)->God, 2015);
    EXPECT_EQ(loaded.entry(1)->God, 2013);
    EXPECT_EQ(loaded.entry(2)->God, 99);
    for (qint32 i = 0; i <= 2; ++i)
        EXPECT_EQ(loaded.entry(i)->DelGod, 0);

    const std::array<const clsPrazdniki *, 3> originals = {&a, &b, &c};
    for (qint32 i = 0; i <= 2; ++i)
        for (qint32 M = 0; M <= 12; ++M)
            for (qint32 D = 0; D <= 31; ++D)
                EXPECT_EQ(loaded.entry(i)->List(M, D), originals[std::size_t(i)]->List(M, D))
                    << "year " << i << " month " << M << " day " << D;
    EXPECT_EQ(writePrazdniki(loaded), bytes);
}

TEST(PrazdnikiFile, ReadsValuesWhereverTheyStandAndSkipsImpossibleDays)
{
    PrazdnikiStore store;
    // Day 5 twice, day 0 (kept, never shown), days 32 and -3 skipped, all on odd lines.
    readPrazdniki("0,2013\r\n2,5,5,3\r\n0,32,-3,0\r\n0,0,0,0,0,0,0,0,0,0\r\n", store);
    ASSERT_EQ(store.KolGodov(), 0);
    const clsPrazdniki *year = store.entry(0);
    EXPECT_EQ(year->God, 2013);
    EXPECT_EQ(year->List(1, 5), 1);
    EXPECT_EQ(year->List(2, 0), 1);
    EXPECT_EQ(year->List(2, 5), 0);
    for (qint32 D = 1; D <= 31; ++D) {
        if (D != 5) {
            EXPECT_EQ(year->List(1, D), 0) << D;
        }
    }

    // Day 5 is written once; day 0 is not written back.
    EXPECT_EQ(writePrazdniki(store),
              "0\r\n2013\r\n1,5\r\n" + QByteArray("0\r\n").repeated(11) + "\r\n");
}

TEST(PrazdnikiFile, DamagedFilesLoadAtOnceKeepingTheYearsRead)
{
    PrazdnikiStore store;
    const QByteArray y2013 = emptyYear("2013");

    // A count far beyond the years present: the years there are kept.
    EXPECT_LT(timedLoad("2147483647\r\n" + y2013, store), 2000);
    expectConsistent(store);
    ASSERT_EQ(store.KolGodov(), 0);
    EXPECT_EQ(store.entry(0)->God, 2013);

    // A negative count other than -1 is no file of years.
    for (const QByteArray count : {"-2", "-2147483648"}) {
        EXPECT_LT(timedLoad(count + "\r\n" + y2013, store), 2000);
        EXPECT_EQ(store.KolGodov(), -1) << count.constData();
        expectConsistent(store);
    }

    // A month count of two thousand million: the year keeps the days that are there.
    EXPECT_LT(timedLoad("0\r\n2014\r\n2000000000,1,2\r\n", store), 2000);
    expectConsistent(store);
    ASSERT_EQ(store.KolGodov(), 0);
    EXPECT_EQ(store.entry(0)->God, 2014);
    EXPECT_EQ(store.entry(0)->List(1, 2), 1);

    // Text in the middle ends the reading there.
    readPrazdniki("1\r\n" + y2013 + "2014\r\n1,x\r\n" + QByteArray("0\r\n").repeated(11), store);
    expectConsistent(store);
    ASSERT_EQ(store.KolGodov(), 1);
    EXPECT_EQ(store.entry(1)->God, 2014);
    EXPECT_EQ(store.entry(1)->List(1, 1), 0);

    // A missing end: the second year was cut off before its number.
    readPrazdniki("2\r\n" + y2013, store);
    ASSERT_EQ(store.KolGodov(), 0);
    EXPECT_EQ(store.NaytiGod(2013), 0);

    // Non-numeric, out of range or binary content is an empty store.
    for (const QByteArray &bytes :
         {QByteArray("abc\r\n"), QByteArray("99999999999\r\n"), QByteArray("1.5\r\n"),
          QByteArray(""), QByteArray("\x00\xff\x13\x88garbage", 12)}) {
        readPrazdniki(bytes, store);
        EXPECT_EQ(store.KolGodov(), -1) << bytes.toHex().constData();
        expectConsistent(store);
    }
}

TEST(PrazdnikiFile, HugeFilesAreReadOnlyUpToTheirLimits)
{
    PrazdnikiStore store;
    // More years than any file may bring: the store stops at the limit.
    QByteArray many = "30000\r\n";
    const QByteArray year = emptyYear("2013");
    for (int i = 0; i < 30000; ++i)
        many += year;
    EXPECT_LT(timedLoad(many, store), 5000);
    EXPECT_EQ(store.KolGodov(), kMaxFileYears - 1);
    expectConsistent(store);

    // One endless value is never held whole and never taken for a number.
    EXPECT_LT(timedLoad(QByteArray(20 * 1024 * 1024, '7'), store), 5000);
    EXPECT_EQ(store.KolGodov(), -1);
}

TEST(PrazdnikiFile, OpenReplacesTheStoreAndAMissingFileEmptiesIt)
{
    TempAppFolder app;
    const QString path = prazdnikiPath(app.path());
    EXPECT_EQ(path, app.file(kFileName));

    PrazdnikiStore store;
    addYear(store, 2020);
    addYear(store, 2021);
    app.write(kFileName, "0\r\n" + emptyYear("2013") + "\r\n");
    OpenPrazdniki(store, path);
    ASSERT_EQ(store.KolGodov(), 0);
    EXPECT_EQ(store.entry(0)->God, 2013);
    EXPECT_EQ(store.NaytiGod(2020), -1);

    OpenPrazdniki(store, app.file(QStringLiteral("absent.dat")));
    EXPECT_EQ(store.KolGodov(), -1);

    // A folder in place of the file reads as no file.
    app.makeFolder(QStringLiteral("folder.dat"));
    addYear(store, 2020);
    OpenPrazdniki(store, app.file(QStringLiteral("folder.dat")));
    EXPECT_EQ(store.KolGodov(), -1);
}

TEST(PrazdnikiFile, SaveWritesTheFileWithoutAWord)
{
    TempAppFolder app;
    FakePlatform platform;
    PrazdnikiStore store;
    ASSERT_TRUE(addYear(store, 2013).AddPrazdnik(1, 1));
    const QString path = prazdnikiPath(app.path());

    EXPECT_TRUE(SavePrazdniki(store, path, platform));
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(app.read(kFileName), writePrazdniki(store));
}

TEST(PrazdnikiFile, FailedSaveShowsTwoMessagesAndKeepsTheOldFile)
{
    TempAppFolder app;
    PrazdnikiStore store;
    addYear(store, 2013);

    // A folder where the file should be, and a folder that does not exist.
    app.makeFolder(kFileName);
    for (const QString &path :
         {app.file(kFileName), app.file(QStringLiteral("missing/") + kFileName)}) {
        FakePlatform platform;
        EXPECT_FALSE(SavePrazdniki(store, path, platform));
        ASSERT_EQ(platform.messages.size(), 2u);
        EXPECT_FALSE(platform.messages[0].text.isEmpty());
        EXPECT_TRUE(platform.messages[0].caption.isEmpty());
        EXPECT_EQ(platform.messages[0].icon, MsgIcon::None);
        EXPECT_EQ(platform.messages[1].text,
                  QStringLiteral("Файл «") + path + QStringLiteral("» сохранить не возможно."));
        EXPECT_TRUE(platform.messages[1].caption.isEmpty());
        EXPECT_EQ(platform.messages[1].icon, MsgIcon::Critical);
    }

    // A write that breaks off, or a final rename that fails, leaves the old file whole.
    TempAppFolder other;
    const QByteArray old = "-1\r\n\r\n";
    other.write(kFileName, old);
    const QString path = prazdnikiPath(other.path());
    for (const SafeWriteFault fault : {SafeWriteFault::Write, SafeWriteFault::Rename}) {
        FakePlatform platform;
        setSafeWriteFaultForTesting(fault, ENOSPC);
        EXPECT_FALSE(SavePrazdniki(store, path, platform));
        setSafeWriteFaultForTesting(SafeWriteFault::None, 0);
        EXPECT_EQ(other.read(kFileName), old);
        ASSERT_EQ(platform.messages.size(), 2u);
        EXPECT_EQ(platform.messages[1].text,
                  QStringLiteral("Файл «") + path + QStringLiteral("» сохранить не возможно."));
    }

    // Permission and read-only errors are told as a write-protected file.
    for (const int err : {EACCES, EROFS}) {
        FakePlatform platform;
        setSafeWriteFaultForTesting(SafeWriteFault::Open, err);
        EXPECT_FALSE(SavePrazdniki(store, path, platform));
        setSafeWriteFaultForTesting(SafeWriteFault::None, 0);
        EXPECT_EQ(other.read(kFileName), old);
        ASSERT_EQ(platform.messages.size(), 2u);
        EXPECT_FALSE(platform.messages[0].text.isEmpty());
        EXPECT_EQ(platform.messages[1].text,
                  QStringLiteral("Файл «") + path + QStringLiteral("» защищён от записи."));
        EXPECT_EQ(platform.messages[1].icon, MsgIcon::Critical);
    }
}
