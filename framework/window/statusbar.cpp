// statusbar.cpp - CreateStatusBar. The framework never moves, resizes or re-labels the bar after
// creating it; the host may talk to it through HStatus.
#include "framework/window/statusbar.h"

#include <cstring>

#include "framework/window/state.h"

namespace velvix {
namespace {
constexpr UINT kStatusBarId = 30482;
}

HWND CreateStatusBar(HWND Parent) {
    std::memset(FileName, 0, sizeof(FileName));
    std::strcpy(FileName, "Percorso file");
    AWnd = CreateStatusWindowA(WS_CHILD | WS_VISIBLE, FileName, Parent, kStatusBarId);
    if (AWnd) {
        // The part count is kept within the table, so the control never reads past Edges.
        int32_t parts = MaxStatusItem;
        if (parts < 0)
            parts = 0;
        if (parts > decltype(Edges)::High)
            parts = decltype(Edges)::High;
        for (int32_t i = 1; i <= parts; ++i)
            Edges[i] = StatusItem[i];
        SendMessageA(AWnd, SB_SETPARTS, static_cast<WPARAM>(parts),
                     reinterpret_cast<LPARAM>(Edges.Data()));
    }
    return AWnd;
}

} // namespace velvix
