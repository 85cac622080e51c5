#pragma once

#include "platform/Platform.h"

#include <QDialog>

#include <cstdio>

namespace vexilo {

// A platform for programs that drive the windows without a user: it asks nothing, shows no
// dialog and counts the messages, which such a program never expects; each is printed.
class QuietPlatform final : public Platform
{
public:
    MsgAnswer messageBox(const QString &text, const QString &, MsgIcon, MsgButtons) override
    {
        ++messages;
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
        return MsgAnswer::Ok;
    }
    std::optional<QString> inputBox(const QString &, const QString &, const QString &) override
    {
        return std::nullopt;
    }
    QString saveFileName(const QStringList &, const QString &, int *) override { return {}; }
    QString openFileName(const QStringList &, const QString &) override { return {}; }
    std::optional<QColor> chooseColor(const QColor &, const QString &) override
    {
        return std::nullopt;
    }
    void openWithDefaultProgram(const QString &) override {}
    int execDialog(QDialog &dialog) override
    {
        dialog.reject();
        return dialog.result();
    }
    void setBusy(bool) override {}
    void processEvents() override {}

    int messages = 0;
};

} // namespace vexilo
