#include "WebLinks.h"

#include "common/SafeFile.h"
#include "common/Text1251.h"
#include "platform/Platform.h"

namespace vexilo {

QByteArray redirectPageContent(const QString &url)
{
    const QString page =
        QStringLiteral("<html><head><meta http-equiv='refresh' content='0; url=") + url +
        QStringLiteral("'><meta http-equiv='Content-Type' content='text/html; "
                       "charset=windows-1251'><title>WWW</title></head><body></body></html>");
    return toWindows1251(page) + QByteArrayLiteral("\r\n");
}

std::optional<QString> writeRedirectPage(const QString &PutProgrammy, const QString &url,
                                         const SafeWriteHook &hook)
{
    const QByteArray content = redirectPageContent(url);
    for (int i = 0; i < kRedirectPageTries; ++i) {
        const QString path = PutProgrammy + QString::number(i) + QStringLiteral(".html");
        if (writeFileSafely(path, content, {Durability::Synced, hook}).ok)
            return path;
    }
    return std::nullopt;
}

void OpenURL(Platform &platform, const QString &path)
{
    platform.openWithDefaultProgram(path);
}

void SaveFileUrl(Platform &platform, const QString &PutProgrammy, const QString &url)
{
    const std::optional<QString> page = writeRedirectPage(PutProgrammy, url, platform.saveFaults());
    platform.processEvents();
    OpenURL(platform, page.value_or(url));
}

} // namespace vexilo
