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

// A year line and twelve month lines without holidays.
QByteArray emptyYear(const QByteArray &God)
{
    return God + "\r\n" + QByteArray("0\r\n").repeated(12);
}

// Loads the bytes, checks the store is usable, and says how long it took in milliseconds.
qint64 timedLoad(const QByteArray &bytes, PrazdnikiStore &store)
{
    QElapsedTimer timer;
    timer.start();
    readPrazdniki(bytes, store);
    const qint64 elapsed = timer.elapsed();
    EXPECT_GE(store.KolGodov(), -1);
    for (qint32 i = 0; i <= store.KolGodov(); ++i)
        EXPECT_NE(store.entry(i), nullptr);
    return elapsed;
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
    EXPECT_LT(timedLoad("2147483647\r\n" + y2013, store), 2000);
    EXPECT_EQ(store.KolGodov(), 0);
    EXPECT_EQ(store.NaytiGod(2013), 0);

    // A month count of two thousand million: the year keeps the days that are there.
    EXPECT_LT(timedLoad("0\r\n2014\r\n2000000000,1,2\r\n", store), 2000);
    ASSERT_EQ(store.KolGodov(), 0);
    EXPECT_EQ(store.entry(0)->List(1, 2), 1);

    // Text in the middle ends the reading there; so does a missing end.
    timedLoad("2\r\n" + y2013 + "2014\r\n1,x\r\n" + QByteArray("0\r\n").repeated(11), store);
    EXPECT_EQ(store.KolGodov(), 1);
    EXPECT_EQ(store.NaytiGod(2014), 1);

    // A negative count other than -1, non-numeric, out of range or binary content: no years.
    for (const QByteArray &bytes :
         {"-2\r\n" + y2013, QByteArray("abc\r\n"), QByteArray("99999999999\r\n"),
          QByteArray("1.5\r\n"), QByteArray(), QByteArray("\x00\xff\x13\x88garbage", 12)}) {
        timedLoad(bytes, store);
        EXPECT_EQ(store.KolGodov(), -1) << bytes.toHex().constData();
    }

    // More years than any file may bring stop at the limit; one endless value is no number.
    QByteArray many = "30000\r\n";
    for (int i = 0; i < 30000; ++i)
        many += y2013;
    EXPECT_LT(timedLoad(many, store), 5000);
    EXPECT_EQ(store.KolGodov(), kMaxFileYears - 1);
    EXPECT_LT(timedLoad(QByteArray(20 * 1024 * 1024, '7'), store), 5000);
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
        EXPECT_TRUE(SavePrazdniki(store, path, platform));
        EXPECT_TRUE(platform.messages.empty());
        EXPECT_EQ(app.read(kFileName), writePrazdniki(store));
    }

    // A folder in the way, or a missing folder.
    app.makeFolder(QStringLiteral("in the way/") + kFileName);
    for (const QString &p : {app.file(QStringLiteral("in the way/") + kFileName),
                             app.file(QStringLiteral("missing/") + kFileName)}) {
        FakePlatform platform;
        EXPECT_FALSE(SavePrazdniki(store, p, platform));
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
    const std::array<std::tuple<SafeWriteFault, int, QString>, 4> faults = {{
        {SafeWriteFault::Write, ENOSPC, notSaveable(path)},
        {SafeWriteFault::Rename, EIO, notSaveable(path)},
        {SafeWriteFault::Open, EACCES, QStringLiteral("Файл «%1» защищён от записи.").arg(path)},
        {SafeWriteFault::Open, EROFS, QStringLiteral("Файл «%1» защищён от записи.").arg(path)},
    }};
    for (const auto &[fault, err, text] : faults) {
        FakePlatform platform;
        setSafeWriteFaultForTesting(fault, err);
        EXPECT_FALSE(SavePrazdniki(store, path, platform));
        setSafeWriteFaultForTesting(SafeWriteFault::None, 0);
        EXPECT_EQ(app.read(kFileName), old);
        ASSERT_EQ(platform.messages.size(), 2u);
        EXPECT_EQ(platform.messages[1].text, text);
    }
}
