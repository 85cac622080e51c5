#include "shell/WebLinks.h"

#include "common/SafeFile.h"
#include "support/FakePlatform.h"
#include "support/TempAppFolder.h"

#include <QDir>

#include <gtest/gtest.h>

#include <cerrno>

using namespace vexilo;
using namespace vexilo::test;

namespace {

const QByteArray kPrefix("<html><head><meta http-equiv='refresh' content='0; url=");
const QByteArray kSuffix("'><meta http-equiv='Content-Type' content='text/html; "
                         "charset=windows-1251'><title>WWW</title></head><body></body></html>\r\n");

struct FaultGuard
{
    FaultGuard(SafeWriteFault fault, int err) { setSafeWriteFaultForTesting(fault, err); }
    ~FaultGuard() { setSafeWriteFaultForTesting(SafeWriteFault::None, 0); }
};

} // namespace

TEST(WebLinks, RedirectPageIsTheFixedTextAroundTheUnchangedAddress)
{
    EXPECT_EQ(redirectPageContent(QStringLiteral("https://vexilo.example.org/")),
              kPrefix + "https://vexilo.example.org/" + kSuffix);
    // Nothing in the address is escaped, a quote included.
    EXPECT_EQ(redirectPageContent(QStringLiteral("http://a.example/?q=it's&x=<1>")),
              kPrefix + "http://a.example/?q=it's&x=<1>" + kSuffix);
    // The page is Windows-1251 as it says.
    EXPECT_EQ(redirectPageContent(QStringLiteral("http://пример.example/")),
              kPrefix + "http://\xEF\xF0\xE8\xEC\xE5\xF0.example/" + kSuffix);
}

TEST(WebLinks, PageZeroIsReusedAndAPageThatCannotBeWrittenIsPassedOver)
{
    TempAppFolder app;
    FakePlatform platform;
    SaveFileUrl(platform, app.path(), QStringLiteral("https://one.example/"));
    SaveFileUrl(platform, app.path(), QStringLiteral("https://two.example/"));
    EXPECT_EQ(platform.opened, QStringList({app.file(QStringLiteral("0.html")),
                                            app.file(QStringLiteral("0.html"))}));
    EXPECT_EQ(app.read(QStringLiteral("0.html")), kPrefix + "https://two.example/" + kSuffix);
    EXPECT_EQ(QDir(app.path()).entryList(QDir::Files), QStringList{QStringLiteral("0.html")});
    EXPECT_GE(platform.processEventsCalls, 2);

    // A folder in the place of 0.html cannot be written, as root too.
    TempAppFolder blocked;
    blocked.makeFolder(QStringLiteral("0.html"));
    FakePlatform second;
    SaveFileUrl(second, blocked.path(), QStringLiteral("https://three.example/"));
    EXPECT_EQ(second.opened, QStringList{blocked.file(QStringLiteral("1.html"))});
    EXPECT_EQ(blocked.read(QStringLiteral("1.html")), kPrefix + "https://three.example/" + kSuffix);
}

TEST(WebLinks, WhenNoPageCanBeWrittenTheTriesEndAndTheAddressIsOpenedDirectly)
{
    TempAppFolder app;
    FakePlatform platform;
    {
        FaultGuard guard(SafeWriteFault::Open, EACCES);
        EXPECT_EQ(writeRedirectPage(app.path(), QStringLiteral("https://x.example/")),
                  std::nullopt);
        SaveFileUrl(platform, app.path(), QStringLiteral("https://x.example/"));
    }
    EXPECT_EQ(platform.opened, QStringList{QStringLiteral("https://x.example/")});
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_TRUE(QDir(app.path()).entryList(QDir::Files).isEmpty());

    // A folder that does not exist ends the same way.
    FakePlatform missing;
    SaveFileUrl(missing, app.file(QStringLiteral("gone/")), QStringLiteral("https://y.example/"));
    EXPECT_EQ(missing.opened, QStringList{QStringLiteral("https://y.example/")});
}

TEST(WebLinks, OpenUrlHandsThePathToTheDefaultProgram)
{
    FakePlatform platform;
    OpenURL(platform, QStringLiteral("/opt/vexilo/Справка.html"));
    EXPECT_EQ(platform.opened, QStringList{QStringLiteral("/opt/vexilo/Справка.html")});
    EXPECT_TRUE(platform.messages.empty());
}
