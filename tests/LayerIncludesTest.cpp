#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QStringList>

#include <gtest/gtest.h>

namespace {

// The library folders from the bottom up: each may include only itself and those before it.
// compose's rooms come in their own order, and the folder window at compose's top above them.
// The programs' folders (app, cli, glyphs-tool) stand above them all.
const QStringList kLayers = {QStringLiteral("common"),         QStringLiteral("platform"),
                             QStringLiteral("holidays"),       QStringLiteral("compose/tints"),
                             QStringLiteral("compose/glyphs"), QStringLiteral("compose/sheet"),
                             QStringLiteral("compose/output"), QStringLiteral("compose/maker"),
                             QStringLiteral("compose"),        QStringLiteral("shell")};

// The rank of a path's folder inside src/, a room of compose by its own; the programs' folders
// rank above every layer.
qsizetype rankOf(const QString &path)
{
    qsizetype layer = kLayers.indexOf(path.section(u'/', 0, 1));
    if (layer < 0)
        layer = kLayers.indexOf(path.section(u'/', 0, 0));
    return layer >= 0 ? layer : kLayers.size();
}

} // namespace

TEST(LayerIncludes, NoFileIncludesAFolderAboveItsOwn)
{
    const QString root = QStringLiteral(VEXILO_SOURCE_DIR "/");
    static const QRegularExpression include(QStringLiteral(R"(^\s*#\s*include\s*"([^"]+)\")"),
                                            QRegularExpression::MultilineOption);
    QStringList upwards;
    qsizetype scanned = 0;
    QDirIterator files(root, {QStringLiteral("*.h"), QStringLiteral("*.cpp")}, QDir::Files,
                       QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString path = files.next().mid(root.size());
        QFile file(root + path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
        const QString text = QString::fromUtf8(file.readAll());
        ++scanned;
        for (const QRegularExpressionMatch &match : include.globalMatch(text)) {
            const QString target = match.captured(1);
            // A file's own neighbours ("SheetPlan.h") are of its own folder.
            if (!target.contains(u'/'))
                continue;
            if (rankOf(target) > rankOf(path))
                upwards << path + QStringLiteral(" → ") + target;
        }
    }
    EXPECT_GT(scanned, 100);
    EXPECT_TRUE(upwards.isEmpty()) << upwards.join(u'\n').toStdString();
}
