// state.cpp - storage of the framework's shared state; every variable starts zeroed unless an
// initial value is given here.
#include "framework/window/state.h"

namespace velvix {

HWND HWindow;
HDC DCWindow;
HGLRC RCWindow;
int32_t Width;
int32_t Height;
int32_t Bits;
bool FullScreen;
bool Active;
int32_t Pixel_Format_Flags;
MSG Msg_;

int32_t SetTypeCursor;
const char* CursorFile;
int32_t SetTypeIcon;
const char* IconFile;

bool ShowMenuBar;
void (*CreateMenuBar)();
void (*CreateMouseMenu)();
LRESULT(CALLBACK* GetInputCommand)(HWND, UINT, WPARAM, LPARAM);
bool ShowStatusBar;
HWND HStatus;
HWND AWnd;
char FileName[261];
RangeArray<int32_t, 1, 20> StatusItem;
RangeArray<int32_t, 1, 20> Edges;
int32_t MaxStatusItem;

RangeArray<LongBool, 0, 500> SetKey;
bool LeftMouseDown;
bool RightMouseDown;
bool LeftMouseDown2;
bool RightMouseDown2;
bool MouseFree;
int32_t XCoord, YCoord;
int32_t ZCoord;
int32_t SetMX, SetMY;
int32_t SetOMX, SetOMY;
POINT MPos;

float XRot, YRot;
float Depth;
float XRot2, YRot2, Depth2;
int32_t MSpeed;
TGLVertex My;

float OffX, OffY;

int32_t GL_MIN_FILTER = 0x2601; // GL_LINEAR
int32_t GL_MAG_FILTER = 0x2601; // GL_LINEAR

uint32_t Start;
bool FogOnOff;
uint32_t ObjNull;

} // namespace velvix
