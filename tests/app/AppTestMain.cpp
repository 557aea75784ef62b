// The window tests run inside the program's own application object, so that its error
// report is the one under test.
#include <gtest/gtest.h>

#include "QuillspotApplication.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QuillspotApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
