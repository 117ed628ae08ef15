#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// Every test binary gets an application object, so widget and picture tests
// run alike under the offscreen platform.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The program keeps a record in the user's settings: tests keep theirs
    // in a folder of their own, gone when they end.
    QTemporaryDir settings;
    if (!settings.isValid())
        return 2;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(settings.path()));
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
