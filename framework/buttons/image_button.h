// image_button.h - the "IMAGEBUTTON" control: a push button drawn from three pictures (normal,
// hover, pressed), whose window takes the shape of the normal picture (magenta cut out), and
// which posts WM_COMMAND with its identifier to its parent when clicked. A host creates one as
// a child window of class "IMAGEBUTTON" with the identifier as hMenu; the pictures are
// BMPType + "N.BMP", "H.BMP" and "P.BMP", read when the button is created.
#pragma once

#include <string>

#include "platform/win32.h"

namespace velvix {

extern const char* const szHoverClass; // "IMAGEBUTTON"
extern const char* const NormalBmp;    // property: DC holding the normal picture
extern const char* const HoverBmp;     // property: DC holding the hover picture
extern const char* const PressBmp;     // property: DC holding the pressed picture
extern const char* const HoverMode;    // property: the state, 1 normal, 2 hover, 3 pressed
extern const char* const ButtonRgn;    // property: the hit region

// Prefix of the picture file names of buttons created from now on; empty at start.
extern std::string BMPType;
// The class record used to look the class up and to register it.
extern WNDCLASSEXA WindowClassEx;

// The window procedure of the "IMAGEBUTTON" class.
LRESULT CALLBACK HoverButtonHandler(HWND Wnd, UINT iMsg, WPARAM wParam, LPARAM lParam);

// Registers the "IMAGEBUTTON" class unless it exists (WindowRegister calls it).
void RegisterImageButtonClass();

} // namespace velvix
