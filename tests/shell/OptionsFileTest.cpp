#include "shell/OptionsFile.h"

#include <gtest/gtest.h>

#include <limits>

using namespace vexilo;

namespace {

// "Мой набор, 2" in Windows-1251, spelled out byte by byte.
const QByteArray kFolder1251("\xCC\xEE\xE9 \xED\xE0\xE1\xEE\xF0, 2");

OptionsValues sample()
{
    OptionsValues v;
    v.XYMesyac = 1;
    v.Rassttoyanie = {10, 5, 20, 20, 3, 2013};
    v.PapkaKartinok = QStringLiteral("Мой набор, 2");
    v.KolMesyacev = 0;
    v.Mesyac = 0;
    v.ProverkaRazmerov = 1;
    return v;
}

} // namespace

TEST(OptionsFile, ElevenLinesInWindows1251WithBlanksBeforeNonNegativeNumbers)
{
    const QByteArray expected = QByteArray(" 1\r\n 10\r\n 5\r\n 20\r\n 20\r\n 3\r\n 2013\r\n") +
                                kFolder1251 + QByteArray("\r\n 0\r\n 0\r\n 1\r\n\r\n");
    EXPECT_EQ(optionsFileContent(sample()), expected);

    OptionsValues negative = sample();
    negative.XYMesyac = -1;
    negative.Rassttoyanie[0] = -7;
    negative.PapkaKartinok.clear();
    EXPECT_TRUE(optionsFileContent(negative).startsWith("-1\r\n-7\r\n 5\r\n"));
    EXPECT_TRUE(optionsFileContent(negative).contains(" 2013\r\n\r\n 0\r\n"));
}

TEST(OptionsFile, AFolderNameTheFileCannotHoldIsWrittenEmpty)
{
    for (const QString &name : {QStringLiteral("Набор\r\n 3"), QStringLiteral("Ряд\nдва"),
                                QStringLiteral("日本"), QStringLiteral("Café")}) {
        OptionsValues v = sample();
        v.PapkaKartinok = name;
        const QByteArray bytes = optionsFileContent(v);
        EXPECT_TRUE(bytes.contains(" 2013\r\n\r\n 0\r\n 0\r\n 1\r\n\r\n")) << name.toStdString();
        EXPECT_EQ(bytes.count('\n'), 12) << name.toStdString();
    }
}

TEST(OptionsFile, BoxTextsBecomeTheNumberTheyDenote)
{
    EXPECT_EQ(boxNumber(u"0099"), 99);
    EXPECT_EQ(boxNumber(u"007"), 7);
    EXPECT_EQ(boxNumber(u""), 0);
    EXPECT_EQ(boxNumber(u"abc"), 0);
    EXPECT_EQ(boxNumber(u"12abc"), 12);
    EXPECT_EQ(boxNumber(u"-5"), -5);
    EXPECT_EQ(boxNumber(u"2.5"), 2);
    EXPECT_EQ(boxNumber(u"3.5"), 4);
    EXPECT_EQ(boxNumber(u"2147483647"), 2147483647);
    EXPECT_EQ(boxNumber(u"2147483648"), 2147483647);
    EXPECT_EQ(boxNumber(u"99999999999999999999"), 2147483647);
    EXPECT_EQ(boxNumber(u"-2147483649"), std::numeric_limits<qint32>::min());
    EXPECT_EQ(boxNumber(QString(5000, QLatin1Char('9'))), 2147483647);
}

TEST(OptionsFile, ReadingRestoresWhatWasWritten)
{
    const OptionsValues restored = readOptionsFile(optionsFileContent(sample()), {});
    EXPECT_EQ(restored.XYMesyac, 1);
    EXPECT_EQ(restored.Rassttoyanie, (std::array<qint32, 6>{10, 5, 20, 20, 3, 2013}));
    EXPECT_EQ(restored.PapkaKartinok, QStringLiteral("Мой набор, 2"));
    EXPECT_EQ(restored.KolMesyacev, 0);
    EXPECT_EQ(restored.Mesyac, 0);
    EXPECT_EQ(restored.ProverkaRazmerov, 1);

    // A folder name keeps its own blanks; only number lines are trimmed. The name is
    // "  два  пробела " in Windows-1251.
    const OptionsValues spaced =
        readOptionsFile(" 3\r\n  -4 \r\n\t5\r\n6\r\n7\r\n8\r\n 99\r\n"
                        "  \xE4\xE2\xE0  \xEF\xF0\xEE\xE1\xE5\xEB\xE0 \r\n 1\r\n 11\r\n 0\r\n",
                        {});
    EXPECT_EQ(spaced.XYMesyac, 3);
    EXPECT_EQ(spaced.Rassttoyanie, (std::array<qint32, 6>{-4, 5, 6, 7, 8, 99}));
    EXPECT_EQ(spaced.PapkaKartinok, QStringLiteral("  два  пробела "));
    EXPECT_EQ(spaced.KolMesyacev, 1);
    EXPECT_EQ(spaced.Mesyac, 11);
    EXPECT_EQ(spaced.ProverkaRazmerov, 0);
}

TEST(OptionsFile, ListIndexesOutsideTheirRangeFallBack)
{
    const auto read = [](const QByteArray &line1, const QByteArray &line9,
                         const QByteArray &line10) {
        return readOptionsFile(line1 + "\r\n 1\r\n 2\r\n 3\r\n 4\r\n 5\r\n 2013\r\nset\r\n" +
                                   line9 + "\r\n" + line10 + "\r\n 0\r\n\r\n",
                               {});
    };
    EXPECT_EQ(read(" 7", " 2", " 12").XYMesyac, 2);
    EXPECT_EQ(read("-1", " 2", " 12").XYMesyac, 2);
    EXPECT_EQ(read(" 0", " 2", " 12").XYMesyac, 0);
    EXPECT_EQ(read(" 3", " 2", " 12").XYMesyac, 3);
    EXPECT_EQ(read(" 3", " 2", " 12").KolMesyacev, 0);
    EXPECT_EQ(read(" 3", "-1", " 12").KolMesyacev, 0);
    EXPECT_EQ(read(" 3", " 1", " 12").KolMesyacev, 1);
    EXPECT_EQ(read(" 3", " 1", " 12").Mesyac, 0);
    EXPECT_EQ(read(" 3", " 1", "-3").Mesyac, 0);
    EXPECT_EQ(read(" 3", " 1", " 11").Mesyac, 11);
}

TEST(OptionsFile, AFileThatEndsEarlyRepeatsTheLastNumberAndKeepsTheRest)
{
    OptionsValues current;
    current.PapkaKartinok = QStringLiteral("before");
    current.ProverkaRazmerov = 1;

    const OptionsValues afterFour = readOptionsFile(" 1\r\n 10\r\n 5\r\n 30\r\n", current);
    EXPECT_EQ(afterFour.XYMesyac, 1);
    EXPECT_EQ(afterFour.Rassttoyanie, (std::array<qint32, 6>{10, 5, 30, 30, 30, 30}));
    EXPECT_EQ(afterFour.PapkaKartinok, QStringLiteral("before"));
    EXPECT_EQ(afterFour.KolMesyacev, 0); // 30 is out of range
    EXPECT_EQ(afterFour.Mesyac, 0);
    EXPECT_EQ(afterFour.ProverkaRazmerov, 1);

    // The last number read is 1 here, and it is in range for both lists.
    const OptionsValues afterFolder =
        readOptionsFile(" 2\r\n 1\r\n 1\r\n 1\r\n 1\r\n 1\r\n 1\r\nset", current);
    EXPECT_EQ(afterFolder.XYMesyac, 2);
    EXPECT_EQ(afterFolder.PapkaKartinok, QStringLiteral("set"));
    EXPECT_EQ(afterFolder.KolMesyacev, 1);
    EXPECT_EQ(afterFolder.Mesyac, 1);
    EXPECT_EQ(afterFolder.ProverkaRazmerov, 1);

    const OptionsValues empty = readOptionsFile({}, current);
    EXPECT_EQ(empty.XYMesyac, 0); // nothing read: 0, which is in range
    EXPECT_EQ(empty.Rassttoyanie, (std::array<qint32, 6>{}));
    EXPECT_EQ(empty.PapkaKartinok, QStringLiteral("before"));
    EXPECT_EQ(empty.ProverkaRazmerov, 1);
}

TEST(OptionsFile, ALineWithoutAWhole32BitNumberCountsAsAFailedRead)
{
    OptionsValues current;
    current.ProverkaRazmerov = 1;
    const OptionsValues damaged = readOptionsFile(
        " 3\r\nabc\r\n 8\r\n\r\n 99999999999\r\n 12x\r\n-\r\nset\r\n 1\r\n \xE4\xEE\xEC\r\n ?\r\n",
        current);
    EXPECT_EQ(damaged.XYMesyac, 3);
    EXPECT_EQ(damaged.Rassttoyanie, (std::array<qint32, 6>{3, 8, 8, 8, 12, 12}));
    EXPECT_EQ(damaged.PapkaKartinok, QStringLiteral("set"));
    EXPECT_EQ(damaged.KolMesyacev, 1);
    EXPECT_EQ(damaged.Mesyac, 1);
    EXPECT_EQ(damaged.ProverkaRazmerov, 1);

    // Lone CR or LF line ends read the same as CR LF.
    const OptionsValues unix =
        readOptionsFile(" 0\n 1\n 2\n 3\n 4\n 5\n 2020\nset\n 1\n 6\n 0\n", {});
    EXPECT_EQ(unix.Rassttoyanie, (std::array<qint32, 6>{1, 2, 3, 4, 5, 2020}));
    EXPECT_EQ(unix.Mesyac, 6);
}

TEST(OptionsFile, OnlyTheFirstPartOfAHugeFileIsRead)
{
    QByteArray huge(" 3\r\n");
    huge += QByteArray(kOptionsReadLimit * 4, ' ');
    huge += "\r\n 1\r\n";
    const OptionsValues values = readOptionsFile(huge, {});
    EXPECT_EQ(values.XYMesyac, 3);
    EXPECT_EQ(values.Rassttoyanie, (std::array<qint32, 6>{3, 3, 3, 3, 3, 3}));
}
