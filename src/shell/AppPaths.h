#pragma once

#include <QString>
#include <QStringList>

namespace vexilo {

// Where every file of the program lives. A copy whose own folder can take files (the build
// folder, a portable copy) keeps everything beside the program. An installed copy (its folder
// read-only, or laid out as <prefix>/bin beside <prefix>/share/vexilo) keeps the settings, the
// holidays and the redirect pages in the user's data folder, lists glyph sets from the user's
// data folder and then from the shared folder, and reads the help page from the shared folder.
// Every folder ends with the separator.
class AppPaths
{
public:
    AppPaths() = default;
    // Everything beside the program (programFolder ends with the separator).
    static AppPaths besideProgram(const QString &programFolder);
    // The installed layout: the user's files in userFolder, the bundled ones in sharedFolder.
    static AppPaths installed(const QString &programFolder, const QString &sharedFolder,
                              const QString &userFolder);

    bool isBesideProgram() const { return m_besideProgram; }
    const QString &programFolder() const { return m_program; }
    // The folder the program writes into: beside the program, or the user's data folder.
    const QString &userFolder() const { return m_user; }

    QString optionsFile() const;     // "Options.ini"
    QString prazdnikiFile() const;   // "Праздники.dat"
    QString helpPage() const;        // "Справка.html"
    QString redirectFolder() const;  // where the numbered redirect pages are written
    QString saveStartFolder() const; // where the save dialog starts
    // "vexilo.ini", the choices beyond "Options.ini": beside the program, or in the user's
    // configuration folder for an installed copy.
    QString settingsFile() const;
    // Where the holiday import's dialog starts: calendar files come from elsewhere (a
    // download, a colleague), so the user's home.
    QString importStartFolder() const;
    // The folders whose subfolders are glyph sets, the one that wins a name first.
    const QStringList &glyphRoots() const { return m_glyphRoots; }
    // Where a glyph set made from a font is written: the user's own sets, which are listed first.
    QString newGlyphSetsFolder() const { return m_glyphRoots.value(0); }
    // The glyph set names to offer, the user's first; a name is listed once.
    QStringList glyphSetNames() const;
    // The folder of the set with this name: the first root that holds it, else the first root.
    QString glyphFolder(const QString &name) const;
    // The first set, in the order of glyphSetNames(), whose every glyph can be read; empty
    // when there is none.
    QString firstCompleteGlyphFolder() const;

private:
    bool m_besideProgram = true;
    QString m_program;
    QString m_shared;
    QString m_user;
    QStringList m_glyphRoots;
};

// Decides for the program running from programFolder (as the platform reports it): beside the
// program when that folder can be written and is not an installed layout, else the user's
// data folder of QStandardPaths::AppDataLocation.
AppPaths locateAppPaths(const QString &programFolder);

// The shared data folder of an installed copy: <prefix>/share/vexilo for <prefix>/bin.
QString installedSharedFolder(const QString &programFolder);

} // namespace vexilo
