#pragma once

#include "platform/Platform.h"

#include <QStringList>

#include <deque>
#include <functional>
#include <vector>

namespace vexilo::test {

struct RecordedMessage
{
    QString text;
    QString caption;
    MsgIcon icon = MsgIcon::None;
    MsgButtons buttons = MsgButtons::Ok;
};

// Records every message and answers every question from a script. A modal dialog is handed
// to the next scripted handler, which drives it and closes it; with no handler it is rejected.
class FakePlatform final : public Platform
{
public:
    MsgAnswer messageBox(const QString &text, const QString &caption, MsgIcon icon,
                         MsgButtons buttons) override;
    std::optional<QString> inputBox(const QString &prompt, const QString &caption,
                                    const QString &initial) override;
    QString saveFileName(const QStringList &filters, const QString &startFolder,
                         int *chosenFilter) override;
    QString openFileName(const QStringList &filters, const QString &startFolder) override;
    std::optional<QColor> chooseColor(const QColor &initial, const QString &title) override;
    void openWithDefaultProgram(const QString &pathOrUrl) override;
    int execDialog(QDialog &dialog) override;
    void setBusy(bool busy) override;
    void processEvents() override;
    SafeWriteHook saveFaults() override { return saveHook; }

    std::vector<RecordedMessage> messages;
    std::deque<MsgAnswer> answers; // for Yes/No questions; Yes when empty
    std::deque<std::optional<QString>> inputAnswers;
    QStringList inputPrompts;
    std::deque<QString> saveNames;
    std::deque<int> saveFilterChoices; // the filter picked with each name; 0 when empty
    QStringList saveFilters;
    QString saveStartFolder;
    std::deque<QString> openNames; // empty: the open dialog is cancelled
    QStringList openFilters;
    QString openStartFolder;                        // where the last open dialog started
    std::deque<std::optional<QColor>> colorAnswers; // empty: the colour dialog is cancelled
    QStringList opened;
    std::deque<std::function<void(QDialog &)>> dialogHandlers;
    QStringList dialogsShown; // object names of the dialogs shown
    int busyDepth = 0;
    int processEventsCalls = 0;
    // Called on every processEvents, to act "while the program lets events run".
    std::function<void()> onProcessEvents;
    // Faults the windows' saves meet.
    SafeWriteHook saveHook;
};

} // namespace vexilo::test
