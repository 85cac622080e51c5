#include "SaveReport.h"

#include "common/ProgramText.h"
#include "platform/Platform.h"

namespace vexilo {

void reportSaveFailure(Platform &platform, const QString &path, const SafeWriteResult &result)
{
    if (result.ok)
        return;
    SafeWriteResult named = result;
    named.path = path; // the file as the window knows it
    const QStringList lines = failureLines(named);
    platform.messageBox(lines[0], QString(), MsgIcon::None, MsgButtons::Ok);
    platform.messageBox(lines[1], QString(), MsgIcon::Critical, MsgButtons::Ok);
}

void reportWriteFailure(Platform &platform, const SafeWriteResult &result, WrittenThing thing)
{
    if (!result.ok)
        platform.messageBox(failureLines(result, thing).join(u'\n'), applicationTitle(),
                            MsgIcon::Critical, MsgButtons::Ok);
}

void reportBackupCopy(Platform &platform, const QString &path, const QString &copy)
{
    platform.messageBox(
        QStringLiteral(
            "Файл «%1» был прочитан не полностью. Прежний файл сохранён под именем «%2».")
            .arg(path, copy),
        applicationTitle(), MsgIcon::Information, MsgButtons::Ok);
}

} // namespace vexilo
