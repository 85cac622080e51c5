#include "SaveReport.h"

#include "common/ProgramText.h"
#include "platform/Platform.h"

namespace vexilo {

void reportSaveFailure(Platform &platform, const QString &path, const SafeWriteResult &result)
{
    if (result.ok)
        return;
    // The first box must say something even when the system gave no description.
    const QString description =
        result.errorString.isEmpty() ? QStringLiteral("Ошибка записи файла.") : result.errorString;
    platform.messageBox(description, QString(), MsgIcon::None, MsgButtons::Ok);
    const QString text = result.writeProtected
                             ? QStringLiteral("Файл «%1» защищён от записи.").arg(path)
                             : QStringLiteral("Файл «%1» сохранить не возможно.").arg(path);
    platform.messageBox(text, QString(), MsgIcon::Critical, MsgButtons::Ok);
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
