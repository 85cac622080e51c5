#include "common/RuntimeFolder.h"

#include <QApplication>
#include <QFont>
#include <QStandardPaths>

#include <gtest/gtest.h>

// One QApplication for every test, on the offscreen platform with fonts and DPI pinned, so
// results do not depend on the machine.
int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_FONT_DPI", "96");
    qputenv("LC_ALL", "C.UTF-8");
    ::testing::InitGoogleTest(&argc, argv);
    vexilo::provideRuntimeFolder(); // as the programs do
    QApplication app(argc, argv);
    // Settings kept for the user go to a test folder, never the real one.
    QStandardPaths::setTestModeEnabled(true);
    QApplication::setFont(QFont(QStringLiteral("Liberation Sans"), 9));
    return RUN_ALL_TESTS();
}
