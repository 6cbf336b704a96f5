// image_button.cpp - HoverButtonHandler, the "IMAGEBUTTON" window procedure. All per-button
// state lives in the window's properties: three memory DCs holding the pictures, the state
// number and the hit region.
//
// Choices where the behaviour was left open: a button whose normal picture is missing keeps
// the size and position it was created with; a state whose picture is missing shows the normal
// picture; painting with no picture DC still validates the window (so the queue does not keep
// producing WM_PAINT); on destruction each DC's bitmap and palette are released with it, so
// nothing is left behind.
#include "framework/buttons/image_button.h"

#include "framework/buttons/bitmaps.h"

namespace velvix {

const char* const szHoverClass = "IMAGEBUTTON";
const char* const NormalBmp = "NORMALBITMAP";
const char* const HoverBmp = "HOVERBITMAP";
const char* const PressBmp = "PRESSBITMAP";
const char* const HoverMode = "HOVERMODEBYTE";
const char* const ButtonRgn = "HOVERBUTTONREGION";

std::string BMPType;
WNDCLASSEXA WindowClassEx;

namespace {

constexpr uint32_t kMagenta = 0xFF00FF;

int State(HWND w) {
    return static_cast<int>(reinterpret_cast<uintptr_t>(GetPropA(w, HoverMode)));
}

void SetState(HWND w, int state) {
    SetPropA(w, HoverMode, reinterpret_cast<HANDLE>(static_cast<uintptr_t>(state)));
}

// A memory DC with the picture and its palette selected, stored in property `name`.
void MakePictureDC(HWND w, const char* name, HBITMAP bitmap, HPALETTE palette) {
    HDC dc = CreateCompatibleDC(nullptr);
    if (!dc) {
        // Nothing will own the pictures, so nothing would ever release them.
        DeleteObject(bitmap);
        DeleteObject(palette);
        return;
    }
    if (bitmap)
        SelectObject(dc, bitmap);
    if (palette) {
        SelectPalette(dc, palette, FALSE);
        RealizePalette(dc);
    }
    SetPropA(w, name, dc);
}

// True when the DC holds a picture from a file rather than a new DC's 1 x 1 placeholder.
bool HoldsPicture(HDC dc) {
    BITMAP bm = {};
    return dc && GetObjectA(GetCurrentObject(dc, OBJ_BITMAP), sizeof bm, &bm) &&
           !(bm.bmWidth == 1 && bm.bmHeight == 1 && bm.bmBitsPixel == 1);
}

void ReleasePictureDC(HWND w, const char* name) {
    HDC dc = static_cast<HDC>(GetPropA(w, name));
    if (dc) {
        HGDIOBJ bitmap = GetCurrentObject(dc, OBJ_BITMAP);
        HGDIOBJ palette = GetCurrentObject(dc, OBJ_PAL);
        DeleteDC(dc);
        // Stock objects (a DC's defaults) survive DeleteObject; the pictures do not.
        DeleteObject(bitmap);
        DeleteObject(palette);
    }
    RemovePropA(w, name);
}

void Create(HWND w) {
    HPALETTE palette = nullptr;
    HBITMAP normal = LoadBMPFromFile(BMPType + "N" + ".BMP", palette);
    BITMAP bm = {};
    if (normal && GetObjectA(normal, sizeof bm, &bm)) {
        RECT r, p;
        GetWindowRect(w, &r);
        GetWindowRect(GetParent(w), &p);
        MoveWindow(w, r.left - p.left - 3, r.top - p.top - 19, bm.bmWidth, bm.bmHeight, FALSE);
    }
    MakePictureDC(w, NormalBmp, normal, normal ? palette : nullptr);

    const struct {
        const char* suffix;
        const char* property;
    } others[] = {{"H", HoverBmp}, {"P", PressBmp}};
    for (const auto& o : others) {
        HPALETTE pal = nullptr;
        HBITMAP picture = LoadBMPFromFile(BMPType + o.suffix + ".BMP", pal);
        MakePictureDC(w, o.property, picture, picture ? pal : nullptr);
    }
    SetState(w, 1);

    const std::string shape = BMPType + "N" + ".BMP";
    HRGN region = BitmapToRegion(shape, kMagenta, 1);
    if (!region)
        return;
    SetWindowRgn(w, region, FALSE);
    SetPropA(w, ButtonRgn, BitmapToRegion(shape, kMagenta, 1));
}

void Destroy(HWND w) {
    RemovePropA(w, HoverMode);
    if (HRGN region = static_cast<HRGN>(GetPropA(w, ButtonRgn)))
        DeleteObject(region);
    RemovePropA(w, ButtonRgn);
    ReleasePictureDC(w, PressBmp);
    ReleasePictureDC(w, HoverBmp);
    ReleasePictureDC(w, NormalBmp);
}

void Paint(HWND w) {
    RECT r;
    GetWindowRect(w, &r);
    const int state = State(w);
    const char* name = state == 1   ? NormalBmp
                       : state == 2 ? HoverBmp
                       : state == 3 ? PressBmp
                                    : nullptr;
    HDC picture = name ? static_cast<HDC>(GetPropA(w, name)) : nullptr;
    if (!picture) {
        ValidateRect(w, nullptr);
        return;
    }
    if (!HoldsPicture(picture))
        picture = static_cast<HDC>(GetPropA(w, NormalBmp));
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(w, &ps);
    BitBlt(dc, 0, 0, r.right - r.left, r.bottom - r.top, picture, 0, 0, SRCCOPY);
    EndPaint(w, &ps);
}

} // namespace

LRESULT CALLBACK HoverButtonHandler(HWND Wnd, UINT iMsg, WPARAM wParam, LPARAM lParam) {
    switch (iMsg) {
    case WM_CREATE:
        Create(Wnd);
        return 0;
    case WM_DESTROY:
        Destroy(Wnd);
        return 0;
    case WM_PAINT:
        Paint(Wnd);
        return 0;
    case WM_MOUSEMOVE: {
        HRGN region = static_cast<HRGN>(GetPropA(Wnd, ButtonRgn));
        const int state = State(Wnd);
        if (!region || !state)
            return 0;
        const int x = LOWORD(lParam), y = HIWORD(lParam);
        if (PtInRegion(region, x, y)) {
            if (state == 1) {
                SetState(Wnd, (wParam & (MK_LBUTTON | MK_RBUTTON)) ? 3 : 2);
                SetCapture(Wnd);
                InvalidateRect(Wnd, nullptr, FALSE);
            }
        } else {
            SetState(Wnd, 1);
            ReleaseCapture();
            InvalidateRect(Wnd, nullptr, FALSE);
        }
        return 0;
    }
    case WM_LBUTTONDOWN:
        SetCapture(Wnd);
        SetState(Wnd, 3);
        InvalidateRect(Wnd, nullptr, FALSE);
        return 0;
    case WM_LBUTTONUP:
        if (State(Wnd) == 3)
            PostMessageA(GetParent(Wnd), WM_COMMAND, static_cast<WPARAM>(GetDlgCtrlID(Wnd)), 0);
        SetState(Wnd, 1);
        ReleaseCapture();
        InvalidateRect(Wnd, nullptr, FALSE);
        return 0;
    default:
        return DefWindowProcA(Wnd, iMsg, wParam, lParam);
    }
}

void RegisterImageButtonClass() {
    if (GetClassInfoExA(nullptr, szHoverClass, &WindowClassEx))
        return;
    WindowClassEx.cbSize = sizeof(WNDCLASSEXA);
    WindowClassEx.style = 0;
    WindowClassEx.lpfnWndProc = HoverButtonHandler;
    WindowClassEx.cbClsExtra = 0;
    WindowClassEx.cbWndExtra = 0;
    WindowClassEx.hInstance = GetModuleHandleA(nullptr);
    WindowClassEx.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    WindowClassEx.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    WindowClassEx.hbrBackground = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    WindowClassEx.lpszMenuName = nullptr;
    WindowClassEx.lpszClassName = szHoverClass;
    WindowClassEx.hIconSm = LoadIconA(nullptr, IDI_APPLICATION);
    RegisterClassExA(&WindowClassEx);
}

} // namespace velvix
