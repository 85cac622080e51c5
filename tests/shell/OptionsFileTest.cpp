#include "shell/OptionsFile.h"

#include <gtest/gtest.h>

using namespace vexilo;

namespace {

using Six = std::array<qint32, 6>;

} // namespace

TEST(OptionsFile, ElevenLinesInWindows1251AndNoNameTheFileCannotHold)
{
    OptionsValues v;
    v.XYMesyac = 1;
    v.Rassttoyanie = {-7, 5, 20, 20, 3, 2013};
    v.PapkaKartinok = QStringLiteral("Мой набор, 2");
    v.KolMesyacev = 0;
    v.Mesyac = 11;
    v.ProverkaRazmerov = 1;
    // "Мой набор, 2" in Windows-1251, spelled out byte by byte.
    EXPECT_EQ(optionsFileContent(v), QByteArray(" 1\r\n-7\r\n 5\r\n 20\r\n 20\r\n 3\r\n 2013\r\n"
                                                "\xCC\xEE\xE9 \xED\xE0\xE1\xEE\xF0, 2\r\n"
                                                " 0\r\n 11\r\n 1\r\n\r\n"));

    // Written as "?" or over two lines, a name would come back as another folder.
    for (const QString &name :
         {QStringLiteral("Ряд\r\n 3"), QStringLiteral("日本"), QStringLiteral("Café")}) {
        v.PapkaKartinok = name;
        EXPECT_TRUE(optionsFileContent(v).contains(" 2013\r\n\r\n 0\r\n 11\r\n 1\r\n\r\n"))
            << name.toStdString();
    }
}

TEST(OptionsFile, BoxTextsBecomeTheNumberTheyDenoteWithin32Bits)
{
    EXPECT_EQ(boxNumber(u"0099"), 99);
    EXPECT_EQ(boxNumber(u""), 0);
    EXPECT_EQ(boxNumber(u"пять"), 0);
    EXPECT_EQ(boxNumber(u"12 мм"), 12);
    EXPECT_EQ(boxNumber(u"2.5"), 2);
    EXPECT_EQ(boxNumber(u"2147483648"), 2147483647);
    EXPECT_EQ(boxNumber(u"-99999999999"), -2147483647 - 1);
    EXPECT_EQ(boxNumber(QString(5000, QLatin1Char('9'))), 2147483647);
}

TEST(OptionsFile, ShortOrDamagedFilesRepeatTheLastNumberReadAndKeepTheRest)
{
    OptionsValues current;
    current.PapkaKartinok = QStringLiteral("before");
    current.ProverkaRazmerov = 1;

    const OptionsValues afterFour = readOptionsFile(" 1\r\n 10\r\n 5\r\n 30\r\n", current);
    EXPECT_EQ(afterFour.XYMesyac, 1);
    EXPECT_EQ(afterFour.Rassttoyanie, (Six{10, 5, 30, 30, 30, 30}));
    EXPECT_EQ(afterFour.PapkaKartinok, QStringLiteral("before"));
    EXPECT_EQ(afterFour.KolMesyacev, 0); // 30 is out of range
    EXPECT_EQ(afterFour.Mesyac, 0);
    EXPECT_EQ(afterFour.ProverkaRazmerov, 1);

    // Blanks around numbers are ignored, the folder line is kept as it stands, and a line
    // without a whole 32-bit number reads like a missing one. "дом" is in Windows-1251.
    const OptionsValues damaged =
        readOptionsFile(" 3\r\nabc\r\n\t8 \r\n\r\n 99999999999\r\n 12x\r\n-\r\n  my set \r\n 1\r\n"
                        " \xE4\xEE\xEC\r\n ?\r\n",
                        current);
    EXPECT_EQ(damaged.XYMesyac, 3);
    EXPECT_EQ(damaged.Rassttoyanie, (Six{3, 8, 8, 8, 12, 12}));
    EXPECT_EQ(damaged.PapkaKartinok, QStringLiteral("  my set "));
    EXPECT_EQ(damaged.KolMesyacev, 1);
    EXPECT_EQ(damaged.Mesyac, 1);
    EXPECT_EQ(damaged.ProverkaRazmerov, 1);

    // A runaway file is read only as far as any real one goes.
    const QByteArray huge = " 3\r\n" + QByteArray(kOptionsReadLimit * 4, ' ') + "\r\n 1\r\n";
    EXPECT_EQ(readOptionsFile(huge, {}).Rassttoyanie, (Six{3, 3, 3, 3, 3, 3}));
}

TEST(OptionsFile, AFileAnEditorSavedAsUtf8WithAByteOrderMarkReadsWhole)
{
    OptionsValues v;
    v.XYMesyac = 1;
    v.Rassttoyanie = {-7, 5, 20, 20, 3, 2013};
    v.PapkaKartinok = QStringLiteral("Мой набор, 2");
    v.KolMesyacev = 1;
    v.Mesyac = 11;
    v.ProverkaRazmerov = 1;
    const QByteArray utf8 =
        "\xEF\xBB\xBF" + QStringLiteral(" 1\r\n-7\r\n 5\r\n 20\r\n 20\r\n 3\r\n "
                                        "2013\r\nМой набор, 2\r\n 1\r\n 11\r\n "
                                        "1\r\n\r\n")
                             .toUtf8();
    const OptionsValues read = readOptionsFile(utf8, {});
    EXPECT_EQ(read.XYMesyac, v.XYMesyac);
    EXPECT_EQ(read.Rassttoyanie, v.Rassttoyanie);
    EXPECT_EQ(read.PapkaKartinok, v.PapkaKartinok);
    EXPECT_EQ(read.KolMesyacev, v.KolMesyacev);
    EXPECT_EQ(read.Mesyac, v.Mesyac);
    EXPECT_EQ(read.ProverkaRazmerov, v.ProverkaRazmerov);
}
