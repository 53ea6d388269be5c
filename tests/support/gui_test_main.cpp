#include <gtest/gtest.h>
#include <QApplication>

// Widget tests need one application object for the whole run. They run on
// Qt's offscreen platform unless the caller chose another one.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
