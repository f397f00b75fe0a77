// Support: the test main, an offscreen QApplication; no test of its own.
#include <QApplication>
#include <gtest/gtest.h>

// Every test binary gets a QApplication so that widget and image tests share one main.
int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
