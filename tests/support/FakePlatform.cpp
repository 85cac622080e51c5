#include "FakePlatform.h"

#include <QDialog>

namespace vexilo::test {

MsgAnswer FakePlatform::messageBox(const QString &text, const QString &caption, MsgIcon icon,
                                   MsgButtons buttons)
{
    messages.push_back({text, caption, icon, buttons});
    if (buttons == MsgButtons::Ok)
        return MsgAnswer::Ok;
    if (answers.empty())
        return MsgAnswer::Yes;
    const MsgAnswer answer = answers.front();
    answers.pop_front();
    return answer;
}

std::optional<QString> FakePlatform::inputBox(const QString &prompt, const QString &caption,
                                              const QString &initial)
{
    Q_UNUSED(caption);
    inputPrompts.append(prompt);
    if (inputAnswers.empty())
        return initial;
    const bool cancelled = !inputAnswers.front().has_value();
    const QString text = inputAnswers.front().value_or(QString());
    inputAnswers.pop_front();
    if (cancelled)
        return std::nullopt;
    return text;
}

QString FakePlatform::saveFileName(const QStringList &filters, const QString &startFolder,
                                   int *chosenFilter)
{
    saveFilters = filters;
    saveStartFolder = startFolder;
    if (chosenFilter != nullptr)
        *chosenFilter = 0;
    if (!saveFilterChoices.empty()) {
        if (chosenFilter != nullptr)
            *chosenFilter = saveFilterChoices.front();
        saveFilterChoices.pop_front();
    }
    if (saveNames.empty())
        return {};
    QString name = saveNames.front();
    saveNames.pop_front();
    return name;
}

QString FakePlatform::openFileName(const QStringList &filters, const QString &startFolder)
{
    openStartFolder = startFolder;
    openFilters = filters;
    if (openNames.empty())
        return {};
    QString name = openNames.front();
    openNames.pop_front();
    return name;
}

std::optional<QColor> FakePlatform::chooseColor(const QColor &initial, const QString &title)
{
    Q_UNUSED(initial);
    Q_UNUSED(title);
    if (colorAnswers.empty())
        return std::nullopt;
    const std::optional<QColor> answer = colorAnswers.front();
    colorAnswers.pop_front();
    return answer;
}

void FakePlatform::openWithDefaultProgram(const QString &pathOrUrl)
{
    opened.append(pathOrUrl);
}

int FakePlatform::execDialog(QDialog &dialog)
{
    dialogsShown.append(dialog.objectName());
    if (dialogHandlers.empty()) {
        dialog.reject();
        return dialog.result();
    }
    auto handler = std::move(dialogHandlers.front());
    dialogHandlers.pop_front();
    handler(dialog);
    return dialog.result();
}

void FakePlatform::setBusy(bool busy)
{
    busyDepth += busy ? 1 : -1;
}

void FakePlatform::processEvents()
{
    ++processEventsCalls;
    if (onProcessEvents)
        onProcessEvents();
}

} // namespace vexilo::test
