#include "common/Text1251.h"

#include <gtest/gtest.h>

using namespace vexilo;

TEST(Text1251, CyrillicRoundTripsThroughSingleBytes)
{
    const QString text = QStringLiteral("Праздники, ёЁ №1 Шрифт");
    const QByteArray bytes = toWindows1251(text);
    EXPECT_EQ(bytes.size(), text.size());
    EXPECT_EQ(static_cast<unsigned char>(bytes[0]), 0xCF); // П
    EXPECT_EQ(fromWindows1251(bytes), text);
}

TEST(Text1251, CharactersOutsideTheCodePageBecomeQuestionMarks)
{
    EXPECT_EQ(toWindows1251(QStringLiteral("a漢b")), QByteArray("a?b"));
}

TEST(Text1251, FileContentEndsWithAnEmptyLineAndReadsBack)
{
    EXPECT_EQ(textFileContent({QStringLiteral("-1")}), QByteArray("-1\r\n\r\n"));
    EXPECT_EQ(textFileLines("a\r\nb\nc\rd"),
              (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"),
                           QStringLiteral("d")}));
    EXPECT_EQ(textFileLines("x\r\n\r\n"), (QStringList{QStringLiteral("x"), QString()}));
}
