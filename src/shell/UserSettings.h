#pragma once

#include "compose/maker/GlyphMaker.h"
#include "compose/output/SheetOutput.h"
#include "shell/ViewChoice.h"

#include <QString>

#include <optional>
#include <utility>

namespace vexilo {

// Choices kept for the user beyond "Options.ini" (whose lines never change), with QSettings in
// the file AppPaths names: how sheets are saved as PNG or PDF and printed, the style of the
// last glyph set made from a font, where holidays were last imported from, and the view of the
// calendar.
class UserSettings
{
public:
    explicit UserSettings(QString file) : m_file(std::move(file)) {}

    OutputOptions loadOutputOptions() const;
    void saveOutputOptions(const OutputOptions &options) const;

    // Nothing before the first set, or when what is kept cannot be read.
    std::optional<GlyphStyle> loadGlyphStyle() const;
    void saveGlyphStyle(const GlyphStyle &style) const;
    // The kind of files of the last set made; nothing before the first or when unreadable.
    std::optional<MadeGlyphFiles> loadGlyphFiles() const;
    void saveGlyphFiles(MadeGlyphFiles files) const;
    // The folder the last holidays were imported from; nothing before the first import or
    // when that folder is gone.
    std::optional<QString> loadImportFolder() const;
    void saveImportFolder(const QString &folder) const;
    // The choice of «Вид календаря…»; the described sheet before the first, and each field
    // that cannot be read or is out of range falls back to its preset's.
    ViewChoice loadViewChoice() const;
    void saveViewChoice(const ViewChoice &choice) const;

private:
    QString m_file;
};

} // namespace vexilo
