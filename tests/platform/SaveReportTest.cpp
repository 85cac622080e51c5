#include "platform/SaveReport.h"

#include "support/FakePlatform.h"

#include <gtest/gtest.h>

using namespace vexilo;
using namespace vexilo::test;

// The texts of both boxes are checked where the two files are saved; here, what is left.
TEST(SaveReport, AFailureWithoutADescriptionStillSaysSomethingAndASuccessSaysNothing)
{
    const QString path = QStringLiteral("/каталог/Options.ini");
    FakePlatform platform;
    reportSaveFailure(platform, path, SafeWriteResult{});
    EXPECT_TRUE(platform.messages.empty());

    reportSaveFailure(platform, path, {false, QString(), false, path});
    ASSERT_EQ(platform.messages.size(), 2u);
    EXPECT_EQ(platform.messages[0].text, QStringLiteral("Ошибка записи файла."));
    EXPECT_EQ(platform.messages[1].text,
              QStringLiteral("Файл «/каталог/Options.ini» сохранить не возможно."));
}
