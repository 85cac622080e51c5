#pragma once

#include "common/SafeFile.h"

#include <QColor>
#include <QString>

#include <optional>

class QDialog;

namespace vexilo {

enum class MsgIcon { None, Information, Critical, Question, Warning };
enum class MsgButtons { Ok, YesNo };
enum class MsgAnswer { Ok, Yes, No };

// What the desktop gives the windows: message boxes, dialogs, the busy pointer, opening files
// and addresses. Windows receive it by reference; tests replace it with a scripted fake.
class Platform
{
public:
    virtual ~Platform() = default;

    // An empty caption shows the application title.
    virtual MsgAnswer messageBox(const QString &text, const QString &caption, MsgIcon icon,
                                 MsgButtons buttons) = 0;
    // Nothing when the user cancels.
    virtual std::optional<QString> inputBox(const QString &prompt, const QString &caption,
                                            const QString &initial) = 0;
    // The save dialog: filters as "Описание (*.ext)" entries, start folder; empty on cancel.
    // `chosenFilter`, when given, gets the index of the filter the user picked.
    virtual QString saveFileName(const QStringList &filters, const QString &startFolder,
                                 int *chosenFilter) = 0;
    // The open dialog for an existing file, filters as above; empty on cancel.
    virtual QString openFileName(const QStringList &filters, const QString &startFolder) = 0;
    // The colour dialog; nothing when the user cancels.
    virtual std::optional<QColor> chooseColor(const QColor &initial, const QString &title) = 0;
    // Hands a file or address to the desktop's default program without waiting for it.
    virtual void openWithDefaultProgram(const QString &pathOrUrl) = 0;
    // Shows a modal dialog and returns its result code.
    virtual int execDialog(QDialog &dialog) = 0;
    // The busy pointer over the program's windows.
    virtual void setBusy(bool busy) = 0;
    // Lets pending window events run once.
    virtual void processEvents() = 0;
    // Faults injected into the windows' file saves; the desktop injects none.
    virtual SafeWriteHook saveFaults() { return {}; }
};

} // namespace vexilo
