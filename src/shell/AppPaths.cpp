#include "AppPaths.h"

#include "BuildInfo.h"

#include "compose/glyphs/GlyphSet.h"
#include "holidays/PrazdnikiFile.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace vexilo {

namespace {

// A folder path made absolute, clean and ending with "/", so nothing later depends on the
// current folder.
QString asFolder(const QString &path)
{
    QString folder = QDir::cleanPath(QDir(path).absolutePath());
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

} // namespace

AppPaths AppPaths::besideProgram(const QString &programFolder)
{
    AppPaths paths;
    paths.m_besideProgram = true;
    paths.m_program = programFolder;
    paths.m_shared = programFolder;
    paths.m_user = programFolder;
    paths.m_glyphRoots = {programFolder};
    return paths;
}

AppPaths AppPaths::installed(const QString &programFolder, const QString &sharedFolder,
                             const QString &userFolder)
{
    AppPaths paths;
    paths.m_besideProgram = false;
    paths.m_program = programFolder;
    paths.m_shared = sharedFolder;
    paths.m_user = userFolder;
    paths.m_glyphRoots = {userFolder, sharedFolder};
    return paths;
}

QString AppPaths::optionsFile() const
{
    return m_user + QStringLiteral("Options.ini");
}

QString AppPaths::prazdnikiFile() const
{
    return prazdnikiPath(m_user);
}

QString AppPaths::helpPage() const
{
    return m_shared + QStringLiteral("Справка.html");
}

QString AppPaths::redirectFolder() const
{
    return m_user;
}

QString AppPaths::saveStartFolder() const
{
    // An installed copy's folders are no place for the user's pictures.
    return m_besideProgram ? m_program : asFolder(QDir::homePath());
}

QString AppPaths::settingsFile() const
{
    if (m_besideProgram)
        return m_program + QStringLiteral("vexilo.ini");
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/vexilo/vexilo.ini");
}

QString AppPaths::importStartFolder() const
{
    return asFolder(QDir::homePath());
}

QStringList AppPaths::glyphSetNames() const
{
    return glyphSetNamesIn(m_glyphRoots);
}

QString AppPaths::glyphFolder(const QString &name) const
{
    return glyphSetFolderIn(m_glyphRoots, name);
}

QString AppPaths::firstCompleteGlyphFolder() const
{
    for (const QString &name : glyphSetNames()) {
        const QString folder = glyphFolder(name);
        if (readGlyphImages(folder, false).complete)
            return folder;
    }
    return {};
}

QString installedSharedFolder(const QString &programFolder)
{
    return asFolder(programFolder + QStringLiteral("/" VEXILO_SHARED_FROM_BIN));
}

AppPaths locateAppPaths(const QString &programFolder)
{
    const QString program = asFolder(programFolder);
    const QString shared = installedSharedFolder(program);
    const bool installedLayout = QFileInfo(shared).isDir();
    if (!installedLayout && QFileInfo(program).isWritable())
        return AppPaths::besideProgram(program);
    const QString user =
        asFolder(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    return AppPaths::installed(program, installedLayout ? shared : program, user);
}

} // namespace vexilo
