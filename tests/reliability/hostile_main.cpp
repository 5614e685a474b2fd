// The window tests need one application object for the whole run.
#include <gtest/gtest.h>

#include <QApplication>

#if defined(__SANITIZE_ADDRESS__)
// The tests measure resident memory; AddressSanitizer's default quarantine
// keeps up to 256 MiB of freed answers resident, which would hide what the
// program itself holds. A small quarantine still catches use after free.
extern "C" const char* __asan_default_options() { return "quarantine_size_mb=8"; }
#endif

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
