#pragma once

#include "compose/maker/frmShrift.h"

#include <QDialog>
#include <QString>
#include <QStringList>

#include <functional>

class QCheckBox;
class QListWidget;
class QPushButton;

namespace vexilo {

class Platform;

// "Выбор папки": the glyph sets of the program's folders, the size-check mode, and on confirmation
// the load and draw. It is made afresh for each opening and keeps nothing between them.
class frmSelPapka : public QDialog
{
    Q_OBJECT
public:
    // glyphRoots: the folders whose subfolders are listed, each ending with the separator; a name
    // in an earlier folder hides the same name in a later one. The two settings are written
    // only on confirmation; openAndDraw loads the set they name and draws with it.
    frmSelPapka(const QStringList &glyphRoots, QString &PapkaKartinok, qint32 &ProverkaRazmerov,
                Platform &platform, std::function<void()> openAndDraw, QWidget *parent = nullptr);

    QListWidget *List1 = nullptr;
    QCheckBox *chProverkaRazmerov = nullptr;
    QPushButton *kOK = nullptr;
    QPushButton *kNO = nullptr;
    QPushButton *kShrift = nullptr; // "Создать из шрифта…"

    void List1_Click();
    void List1_DblClick();
    void kOK_Click();
    void kNO_Click();
    // Makes a set from a font; the new set is listed and selected at once.
    void kShrift_Click();

    // Where "Создать из шрифта…" keeps its last style between uses.
    void setFontStyleMemory(GlyphStyleMemory memory) { m_fontStyleMemory = std::move(memory); }

    // Where "Создать из шрифта…" writes a new set (ending with the separator): the first of
    // the listed folders unless told otherwise.
    void setNewSetsFolder(const QString &folder) { m_newSetsFolder = folder; }
    QString glyphSetsFolder() const
    {
        return m_newSetsFolder.isEmpty() ? m_glyphRoots.value(0) : m_newSetsFolder;
    }

private:
    void buildControls();
    void Form_Load();
    void fillList(const QString &selectName);

    const QStringList m_glyphRoots;
    QString &m_PapkaKartinok;
    qint32 &m_ProverkaRazmerov;
    Platform &m_platform;
    std::function<void()> m_openAndDraw;
    GlyphStyleMemory m_fontStyleMemory;
    QString m_newSetsFolder;
};

} // namespace vexilo
