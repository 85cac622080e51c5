#pragma once

#include "common/SafeFile.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace vexilo {

class Platform;

// Numbers tried for a redirect page before giving up: enough to pass over a few locked pages,
// few enough that a folder where nothing can be written costs no noticeable time.
inline constexpr int kRedirectPageTries = 100;

// The redirect page for an address, in Windows-1251 and ending with CR LF. The address goes
// in unchanged.
QByteArray redirectPageContent(const QString &url);

// Writes the page to the folder (PutProgrammy beside the program, else the user's data
// folder) + i + ".html" for the first i from 0 that can be written; the full path, or nothing
// when none of the tries could be written.
std::optional<QString> writeRedirectPage(const QString &PutProgrammy, const QString &url,
                                         const SafeWriteHook &hook = {});

// Hands a file or address to the desktop's default program; the result is not looked at.
void OpenURL(Platform &platform, const QString &path);

// Opens an address through a redirect page in that folder. When no page can be written
// the address itself is handed to the default program, so the user still gets there.
void SaveFileUrl(Platform &platform, const QString &PutProgrammy, const QString &url);

} // namespace vexilo
