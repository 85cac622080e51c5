#pragma once

#include "platform/Platform.h"

#include <QPointer>
#include <QWidget>

namespace vexilo {

class QtPlatform final : public Platform
{
public:
    // Dialogs and message boxes are owned by this window once it exists.
    void setOwner(QWidget *owner) { m_owner = owner; }

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

private:
    QPointer<QWidget> m_owner;
    int m_busyDepth = 0;
};

} // namespace vexilo
