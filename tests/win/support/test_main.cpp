// The main of every Windows test program: Google Test, with the window classes the product's
// windows are made of loaded once before the first test, as the program's own start does.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

namespace {

// The common controls (tabs, track bars, tooltips) and the rich edit of the log. Loaded for the
// whole run rather than by each test that makes a window, so no test depends on another having
// loaded them first.
class WindowClasses : public ::testing::Environment {
public:
    void SetUp() override {
        INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES};
        ASSERT_TRUE(InitCommonControlsEx(&icc)) << "the common controls did not load";
        richEdit_ = LoadLibraryW(L"riched20.dll");
        ASSERT_NE(richEdit_, nullptr) << "riched20.dll did not load";
    }

private:
    // Never freed: a test that failed half-way may leave a log window behind, and a library
    // freed under it would crash the program at exit and hide the real failure.
    HMODULE richEdit_ = nullptr;
};

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new WindowClasses);  // Google Test owns it
    return RUN_ALL_TESTS();
}
