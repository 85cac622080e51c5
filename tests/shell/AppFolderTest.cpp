#include "shell/AppFolder.h"
#include "shell/Declare.h"

#include <gtest/gtest.h>

using namespace vexilo;

TEST(AppFolder, SeparatorIsBackslashWhenThePathHasOneAndIsAppendedOnce)
{
    AppFolder root = appFolderFrom(QStringLiteral("C:\\"));
    EXPECT_EQ(root.PutProgrammy, QStringLiteral("C:\\"));
    EXPECT_EQ(root.Razdelitel, QStringLiteral("\\"));

    AppFolder work = appFolderFrom(QStringLiteral("D:\\Work"));
    EXPECT_EQ(work.PutProgrammy, QStringLiteral("D:\\Work\\"));
    EXPECT_EQ(work.Razdelitel, QStringLiteral("\\"));

    AppFolder unix = appFolderFrom(QStringLiteral("/home/user/app"));
    EXPECT_EQ(unix.PutProgrammy, QStringLiteral("/home/user/app/"));
    EXPECT_EQ(unix.Razdelitel, QStringLiteral("/"));

    EXPECT_EQ(appFolderFrom(QStringLiteral("/")).PutProgrammy, QStringLiteral("/"));
}

TEST(AppFolder, MonthLengthsLeaveFebruaryForTheRenderers)
{
    std::array<qint32, 13> days{};
    fillMonthLengths(days);
    EXPECT_EQ(days, (std::array<qint32, 13>{0, 31, 0, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31}));
}
