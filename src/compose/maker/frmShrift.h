#pragma once

#include "compose/maker/GlyphMaker.h"

#include <QDialog>
#include <QString>

#include <functional>
#include <optional>

class QCheckBox;
class QComboBox;
class QFontComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTimer;

namespace vexilo {

class Platform;
class GlyphSizeBox;

// Where the window keeps the font, size, boldness, colour and capital titles, and the kind of
// files, between uses; any may be empty.
struct GlyphStyleMemory
{
    std::function<std::optional<GlyphStyle>()> load;
    std::function<void(const GlyphStyle &)> save;
    std::function<std::optional<MadeGlyphFiles>()> loadFiles = {};
    std::function<void(MadeGlyphFiles)> saveFiles = {};
};

// "Набор из шрифта": a glyph set drawn from an installed font, previewed as it is set up and
// written into the folder of glyph sets under the name the user gives.
class frmShrift : public QDialog
{
    Q_OBJECT
public:
    // setsFolder ends with the separator. The last style kept in `memory` is shown first, and a
    // set written keeps its style there.
    frmShrift(const QString &setsFolder, Platform &platform, GlyphStyleMemory memory = {},
              QWidget *parent = nullptr);

    QFontComboBox *selShrift = nullptr;
    QSpinBox *txtRazmer = nullptr;
    QCheckBox *chZhirnyi = nullptr;
    QCheckBox *chPropisnye = nullptr; // month titles in capitals
    QPushButton *kCvet = nullptr;
    QComboBox *selVid = nullptr; // GIF pictures or SVG outlines
    QLabel *lblRazmer = nullptr; // the size range, or why a typed size was refused
    QLabel *picPrimer = nullptr;
    QLineEdit *txtImya = nullptr;
    QPushButton *kOK = nullptr;
    QPushButton *kNO = nullptr;

    void kCvet_Click();
    void kOK_Click();

    GlyphStyle style() const;
    MadeGlyphFiles files() const;
    QColor color() const { return m_color; }
    // The name of the set written; empty until one is.
    QString createdName() const { return m_created; }
    // The preview at full size, as the label shows it scaled down.
    const QImage &preview() const { return m_preview; }
    // Whether a change waits for the preview to be drawn again, once the controls settle.
    bool previewPending() const;

private:
    void buildControls();
    void restoreStyle();
    void restoreFiles();
    void schedulePreview();
    void updatePreview();
    void showColor();
    void showSizeRange();
    void sizeRefused(const QString &typed, bool leaving);

    const QString m_setsFolder;
    Platform &m_platform;
    GlyphStyleMemory m_memory;
    GlyphSizeBox *m_sizeBox = nullptr; // txtRazmer
    QTimer *m_previewTimer = nullptr;
    // A size refused as the box lost focus, perhaps to a click on "Создать".
    bool m_sizeRefusedUnseen = false;
    QColor m_color = Qt::black;
    QImage m_preview;
    QString m_created;
};

} // namespace vexilo
