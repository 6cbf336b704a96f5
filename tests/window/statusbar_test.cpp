// statusbar_test.cpp - CreateStatusBar on the framework window, read back through the control.
#include <gtest/gtest.h>

#include <cstring>

#include "framework_window.h"

using namespace velvix;

namespace {

TEST(CreateStatusBar, ShowsItsTextAndTheHostsParts) {
    struct Case {
        const char* name;
        int32_t count;
        std::vector<int32_t> items;
        int32_t partsSeen;
    } cases[] = {
        {"no parts", 0, {}, 0},
        {"three parts ending at 100, 200 and the right border", 3, {100, 200, -1}, 3},
        {"a count beyond the table is held at 20", 25, {}, 20},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        window_test::UseFrameworkWindow();
        std::memset(FileName, 'x', sizeof(FileName));
        for (int32_t i = 1; i <= 20; ++i) {
            StatusItem[i] = i <= static_cast<int32_t>(c.items.size()) ? c.items[i - 1] : 10 * i;
            Edges[i] = 0;
        }
        MaxStatusItem = c.count;
        HWND bar = CreateStatusBar(HWindow);
        if (!bar)
            GTEST_SKIP() << "the platform has no status-bar control yet";
        EXPECT_EQ(bar, AWnd);
        EXPECT_STREQ(FileName, "Percorso file");
        EXPECT_EQ(FileName[sizeof(FileName) - 1], 0);
        for (size_t i = std::strlen("Percorso file"); i < sizeof(FileName); ++i)
            ASSERT_EQ(FileName[i], 0) << i;
        char text[64] = {};
        SendMessageA(bar, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
        EXPECT_STREQ(text, "Percorso file");
        int32_t edges[20] = {};
        EXPECT_EQ(SendMessageA(bar, SB_GETPARTS, 20, reinterpret_cast<LPARAM>(edges)),
                  c.partsSeen == 0 ? 1 : c.partsSeen); // a bar always has at least one part
        for (int32_t i = 1; i <= c.partsSeen; ++i) {
            EXPECT_EQ(Edges[i], StatusItem[i]) << i;
            EXPECT_EQ(edges[i - 1], StatusItem[i]) << i;
        }
        DestroyWindow(bar);
    }
}

} // namespace
