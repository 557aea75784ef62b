// The preview tests run offscreen unless told another platform (xcb under Xvfb, say), with the
// application set up as the program sets it up: no shared GL contexts.
#include <gtest/gtest.h>

#include <QApplication>

// The web engine's own code frees one of its objects with the wrong size, and keeps some of
// its objects (and fontconfig's) to the end of the process; both happen inside those system
// libraries, not in this program, and the sanitizers would stop there. Whole stacks, since
// with Qt 6.8 the engine leaves objects of Qt Gui's (a fallback surface for its GPU check),
// which only a whole stack shows to be the engine's.
extern "C" const char* __asan_default_options() {
    return "new_delete_type_mismatch=0:fast_unwind_on_malloc=0";
}
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libQt6WebEngineCore.so.6\nleak:libfontconfig.so.1\n";
}

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
