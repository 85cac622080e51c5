#include "shell/WebLinks.h"

#include "common/SafeFile.h"
#include "support/FakePlatform.h"
#include "support/SaveFaults.h"
#include "support/TempAppFolder.h"

#include <QDir>

#include <gtest/gtest.h>

#include <cerrno>

using namespace vexilo;
using namespace vexilo::test;

namespace {

QByteArray page(const QByteArray &address)
{
    return "<html><head><meta http-equiv='refresh' content='0; url=" + address +
           "'><meta http-equiv='Content-Type' content='text/html; charset=windows-1251'>"
           "<title>WWW</title></head><body></body></html>\r\n";
}

} // namespace

TEST(WebLinks, PageZeroIsReusedAndAPageThatCannotBeWrittenIsPassedOver)
{
    // The address goes in unchanged, a quote included, and in Windows-1251.
    EXPECT_EQ(redirectPageContent(QStringLiteral("http://пример.example/?q=it's")),
              page("http://\xEF\xF0\xE8\xEC\xE5\xF0.example/?q=it's"));

    TempAppFolder app;
    FakePlatform platform;
    SaveFileUrl(platform, app.path(), QStringLiteral("https://one.example/"));
    SaveFileUrl(platform, app.path(), QStringLiteral("https://two.example/"));
    const QString zero = app.file(QStringLiteral("0.html"));
    EXPECT_EQ(platform.opened, QStringList({zero, zero}));
    EXPECT_EQ(app.read(QStringLiteral("0.html")), page("https://two.example/"));
    EXPECT_EQ(QDir(app.path()).entryList(QDir::Files), QStringList{QStringLiteral("0.html")});

    // A folder in the place of 0.html cannot be written, as root too.
    TempAppFolder blocked;
    blocked.makeFolder(QStringLiteral("0.html"));
    FakePlatform second;
    SaveFileUrl(second, blocked.path(), QStringLiteral("https://three.example/"));
    EXPECT_EQ(second.opened, QStringList{blocked.file(QStringLiteral("1.html"))});
    EXPECT_EQ(blocked.read(QStringLiteral("1.html")), page("https://three.example/"));
}

TEST(WebLinks, WhenNoPageCanBeWrittenTheTriesEndAndTheAddressIsOpenedDirectly)
{
    TempAppFolder app;
    FakePlatform platform;
    platform.saveHook = failOpening(EACCES);
    SaveFileUrl(platform, app.path(), QStringLiteral("https://x.example/"));
    EXPECT_EQ(platform.opened, QStringList{QStringLiteral("https://x.example/")});
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_TRUE(QDir(app.path()).entryList(QDir::Files).isEmpty());
}
