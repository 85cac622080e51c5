#include "QtPlatform.h"

#include "common/ProgramText.h"

#include <QApplication>
#include <QColorDialog>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>

namespace vexilo {

MsgAnswer QtPlatform::messageBox(const QString &text, const QString &caption, MsgIcon icon,
                                 MsgButtons buttons)
{
    QMessageBox box(m_owner);
    box.setWindowTitle(caption.isEmpty() ? applicationTitle() : caption);
    box.setText(text);
    switch (icon) {
    case MsgIcon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case MsgIcon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case MsgIcon::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    case MsgIcon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    case MsgIcon::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    }
    if (buttons == MsgButtons::YesNo) {
        box.addButton(QStringLiteral("Да"), QMessageBox::YesRole);
        QAbstractButton *no = box.addButton(QStringLiteral("Нет"), QMessageBox::NoRole);
        box.setEscapeButton(no);
        box.exec();
        return box.clickedButton() == no ? MsgAnswer::No : MsgAnswer::Yes;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return MsgAnswer::Ok;
}

std::optional<QString> QtPlatform::inputBox(const QString &prompt, const QString &caption,
                                            const QString &initial)
{
    QInputDialog dialog(m_owner);
    dialog.setWindowTitle(caption.isEmpty() ? applicationTitle() : caption);
    dialog.setLabelText(prompt);
    dialog.setTextValue(initial);
    dialog.setOkButtonText(QStringLiteral("OK"));
    dialog.setCancelButtonText(QStringLiteral("Отмена"));
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
}

namespace {

// The file dialog both ways: the chosen file, empty on cancel; `chosenFilter` gets the index
// of the filter the user picked.
QString askForFile(QWidget *owner, QFileDialog::AcceptMode mode, const QStringList &filters,
                   const QString &startFolder, int *chosenFilter)
{
    QFileDialog dialog(owner);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile
                                                       : QFileDialog::ExistingFile);
    dialog.setNameFilters(filters);
    dialog.selectNameFilter(filters.value(0));
    dialog.setDirectory(startFolder);
    // Existing files are replaced without asking, as the save has always done.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    if (chosenFilter != nullptr)
        *chosenFilter = static_cast<int>(filters.indexOf(dialog.selectedNameFilter()));
    return dialog.selectedFiles().constFirst();
}

} // namespace

QString QtPlatform::saveFileName(const QStringList &filters, const QString &startFolder,
                                 int *chosenFilter)
{
    return askForFile(m_owner, QFileDialog::AcceptSave, filters, startFolder, chosenFilter);
}

QString QtPlatform::openFileName(const QStringList &filters, const QString &startFolder)
{
    return askForFile(m_owner, QFileDialog::AcceptOpen, filters, startFolder, nullptr);
}

std::optional<QColor> QtPlatform::chooseColor(const QColor &initial, const QString &title)
{
    const QColor chosen = QColorDialog::getColor(initial, m_owner, title);
    if (!chosen.isValid())
        return std::nullopt;
    return chosen;
}

void QtPlatform::openWithDefaultProgram(const QString &pathOrUrl)
{
    const QUrl url = QFileInfo::exists(pathOrUrl) ? QUrl::fromLocalFile(pathOrUrl)
                                                  : QUrl::fromUserInput(pathOrUrl);
    QDesktopServices::openUrl(url);
}

int QtPlatform::execDialog(QDialog &dialog)
{
    return dialog.exec();
}

void QtPlatform::setBusy(bool busy)
{
    if (busy) {
        ++m_busyDepth;
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else if (m_busyDepth > 0) {
        --m_busyDepth;
        QApplication::restoreOverrideCursor();
    }
}

void QtPlatform::processEvents()
{
    QCoreApplication::processEvents();
}

} // namespace vexilo
