#pragma once

#include "compose/GlyphMaker.h"

#include <QDialog>
#include <QString>

class QCheckBox;
class QFontComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace vexilo {

class Platform;

// "Набор из шрифта": a glyph set drawn from an installed font, previewed as it is set up and
// written into the folder of glyph sets under the name the user gives.
class frmShrift : public QDialog
{
    Q_OBJECT
public:
    // setsFolder ends with the separator.
    frmShrift(const QString &setsFolder, Platform &platform, QWidget *parent = nullptr);

    QFontComboBox *selShrift = nullptr;
    QSpinBox *txtRazmer = nullptr;
    QCheckBox *chZhirnyi = nullptr;
    QPushButton *kCvet = nullptr;
    QLabel *picPrimer = nullptr;
    QLineEdit *txtImya = nullptr;
    QPushButton *kOK = nullptr;
    QPushButton *kNO = nullptr;

    void kCvet_Click();
    void kOK_Click();

    GlyphStyle style() const;
    QColor color() const { return m_color; }
    // The name of the set written; empty until one is.
    QString createdName() const { return m_created; }
    // The preview at full size, as the label shows it scaled down.
    const QImage &preview() const { return m_preview; }

private:
    void buildControls();
    void updatePreview();
    void showColor();

    const QString m_setsFolder;
    Platform &m_platform;
    QColor m_color = Qt::black;
    QImage m_preview;
    QString m_created;
};

} // namespace vexilo
