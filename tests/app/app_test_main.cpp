#include <gtest/gtest.h>

#include <QCoreApplication>

// The controller's deliveries and timer need an event loop.
int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
