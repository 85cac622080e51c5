#include "platform/SaveReport.h"

#include "support/FakePlatform.h"

#include <gtest/gtest.h>

using namespace vexilo;
using namespace vexilo::test;

TEST(SaveReport, AFailureIsTwoBoxesWithoutACaptionAndASuccessNone)
{
    const QString path = QStringLiteral("/каталог/Options.ini");
    const struct
    {
        SafeWriteResult result;
        QString first;
        QString second;
    } cases[] = {
        {{false, QStringLiteral("Отказано в доступе."), true, path},
         QStringLiteral("Отказано в доступе."),
         QStringLiteral("Файл «/каталог/Options.ini» защищён от записи.")},
        {{false, QStringLiteral("На диске не осталось свободного места."), false, path},
         QStringLiteral("На диске не осталось свободного места."),
         QStringLiteral("Файл «/каталог/Options.ini» сохранить не возможно.")},
        {{false, QString(), false, path},
         QStringLiteral("Ошибка записи файла."),
         QStringLiteral("Файл «/каталог/Options.ini» сохранить не возможно.")},
    };
    for (const auto &c : cases) {
        FakePlatform platform;
        reportSaveFailure(platform, path, c.result);
        ASSERT_EQ(platform.messages.size(), 2u);
        EXPECT_EQ(platform.messages[0].text, c.first);
        EXPECT_EQ(platform.messages[0].icon, MsgIcon::None);
        EXPECT_EQ(platform.messages[1].text, c.second);
        EXPECT_EQ(platform.messages[1].icon, MsgIcon::Critical);
        for (const RecordedMessage &m : platform.messages) {
            EXPECT_TRUE(m.caption.isEmpty());
            EXPECT_EQ(m.buttons, MsgButtons::Ok);
        }
    }
    FakePlatform platform;
    reportSaveFailure(platform, path, SafeWriteResult{});
    EXPECT_TRUE(platform.messages.empty());
}
