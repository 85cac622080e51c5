#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

namespace vexilo::test {

class TempAppFolder;

// The damaged files of tests/data/bad-input/<folder>/.
QByteArray corpusFile(const QString &folder, const QString &name);

// Fails the test for every file of the corpus folder that is not among the names checked.
void expectEveryFileHasACase(const QString &folder, const QStringList &names);

// A glyph set that cannot load: one file of a good set damaged or taken away.
struct BadGlyphCase
{
    QString corpusFile; // from bad-input/glyphs; empty: the glyph is missing
    QString glyph;      // the glyph file it stands in for
    const char *what;
};
const std::vector<BadGlyphCase> &badGlyphCases();

// Writes the set `name` (inside the folder of `app`) for a case.
void writeBadGlyphSet(const TempAppFolder &app, const QString &name, const BadGlyphCase &c);

// A set whose glyphs differ wildly in size: "0.gif" is the one-pixel file of the corpus,
// "Пн.gif" 300 × 2, "1.gif" 1000 × 700, the other digits 40 × 3 and weekdays 2 × 90.
// With the design spacings and 4 months in a row its year sheet is three canvases of
// 1250 × 37 pixels (see the test that uses it for the sums).
void writeMixedSizeSet(const TempAppFolder &app, const QString &name);

} // namespace vexilo::test
