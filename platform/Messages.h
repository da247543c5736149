#pragma once
// Window messages: the numbers, the codes they carry and TMessage.
//
// The numbers are our own, laid out as the class library the program was
// written against lays them out, so that the ranges (WM_USER, WM_APP, the
// control messages CM_...) keep their meaning. Message fields are read through
// the typed accessors of TMessage, never by casting the record.
#include <cstdint>

#include "platform/Types.h"

class TCanvas;

using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using UINT = unsigned int;
using UINT_PTR = std::uintptr_t;
using SHORT = std::int16_t;

// A window handle: a number that names a windowed control for as long as its
// window exists. Numbers are never reused, so a message posted to a window
// that has gone since is dropped instead of reaching another one.
using HWND = std::uintptr_t;
constexpr HWND HWND_BROADCAST = 0xFFFF;

// ---------------------------------------------------------------------------
// Window messages.

constexpr UINT WM_NULL = 0x0000;
constexpr UINT WM_CREATE = 0x0001;
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_MOVE = 0x0003;
constexpr UINT WM_SIZE = 0x0005;
constexpr UINT WM_ACTIVATE = 0x0006;
constexpr UINT WM_SETFOCUS = 0x0007;
constexpr UINT WM_KILLFOCUS = 0x0008;
constexpr UINT WM_ENABLE = 0x000A;
constexpr UINT WM_SETREDRAW = 0x000B;
constexpr UINT WM_SETTEXT = 0x000C;
constexpr UINT WM_GETTEXT = 0x000D;
constexpr UINT WM_PAINT = 0x000F;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_ERASEBKGND = 0x0014;
constexpr UINT WM_SYSCOLORCHANGE = 0x0015;
constexpr UINT WM_SHOWWINDOW = 0x0018;
constexpr UINT WM_CANCELMODE = 0x001F;
constexpr UINT WM_SETCURSOR = 0x0020;
constexpr UINT WM_MOUSEACTIVATE = 0x0021;
constexpr UINT WM_WINDOWPOSCHANGED = 0x0047;
constexpr UINT WM_CONTEXTMENU = 0x007B;
constexpr UINT WM_GETDLGCODE = 0x0087;
constexpr UINT WM_NCCREATE = 0x0081;
constexpr UINT WM_NCDESTROY = 0x0082;
constexpr UINT WM_NCCALCSIZE = 0x0083;
constexpr UINT WM_NCHITTEST = 0x0084;
constexpr UINT WM_NCPAINT = 0x0085;
constexpr UINT WM_NCMOUSEMOVE = 0x00A0;
constexpr UINT WM_NCLBUTTONDOWN = 0x00A1;
constexpr UINT WM_NCLBUTTONUP = 0x00A2;
constexpr UINT WM_NCLBUTTONDBLCLK = 0x00A3;
constexpr UINT WM_NCRBUTTONDOWN = 0x00A4;
constexpr UINT WM_NCRBUTTONUP = 0x00A5;
constexpr UINT WM_NCRBUTTONDBLCLK = 0x00A6;
constexpr UINT WM_NCMBUTTONDOWN = 0x00A7;
constexpr UINT WM_NCMBUTTONUP = 0x00A8;
constexpr UINT WM_NCMBUTTONDBLCLK = 0x00A9;
constexpr UINT WM_KEYFIRST = 0x0100;
constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT WM_KEYUP = 0x0101;
constexpr UINT WM_CHAR = 0x0102;
constexpr UINT WM_SYSKEYDOWN = 0x0104;
constexpr UINT WM_SYSKEYUP = 0x0105;
constexpr UINT WM_SYSCHAR = 0x0106;
constexpr UINT WM_KEYLAST = 0x0108;
constexpr UINT WM_TIMER = 0x0113;
constexpr UINT WM_HSCROLL = 0x0114;
constexpr UINT WM_VSCROLL = 0x0115;
// The platform's own timers (scroll-bar repeat); handled by the default handler.
constexpr UINT WM_SYSTIMER = 0x0118;
constexpr UINT WM_MOUSEFIRST = 0x0200;
constexpr UINT WM_MOUSEMOVE = 0x0200;
constexpr UINT WM_LBUTTONDOWN = 0x0201;
constexpr UINT WM_LBUTTONUP = 0x0202;
constexpr UINT WM_LBUTTONDBLCLK = 0x0203;
constexpr UINT WM_RBUTTONDOWN = 0x0204;
constexpr UINT WM_RBUTTONUP = 0x0205;
constexpr UINT WM_RBUTTONDBLCLK = 0x0206;
constexpr UINT WM_MBUTTONDOWN = 0x0207;
constexpr UINT WM_MBUTTONUP = 0x0208;
constexpr UINT WM_MBUTTONDBLCLK = 0x0209;
constexpr UINT WM_MOUSEWHEEL = 0x020A;
constexpr UINT WM_MOUSELAST = 0x020A;
constexpr UINT WM_CAPTURECHANGED = 0x0215;
// A top-level window is being dragged: LParam points at the rectangle (screen
// coordinates) it is about to take; a handler may change it and answers 1.
constexpr UINT WM_MOVING = 0x0216;
constexpr UINT WM_DROPFILES = 0x0233;
constexpr UINT WM_MOUSELEAVE = 0x02A3;
constexpr UINT WM_CUT = 0x0300;
constexpr UINT WM_COPY = 0x0301;
constexpr UINT WM_PASTE = 0x0302;
constexpr UINT WM_CLEAR = 0x0303;
constexpr UINT WM_PRINT = 0x0317;
constexpr UINT WM_PRINTCLIENT = 0x0318;
constexpr UINT WM_THEMECHANGED = 0x031A;
constexpr UINT WM_GETOBJECT = 0x003D;
constexpr UINT WM_USER = 0x0400;
constexpr UINT WM_APP = 0x8000;

// Tree-view queries a tree control answers.
constexpr UINT TV_FIRST = 0x1100;
constexpr UINT TVM_GETITEMRECT = TV_FIRST + 4;
constexpr UINT TVM_GETNEXTITEM = TV_FIRST + 10;
constexpr UINT TVM_GETITEM = TV_FIRST + 62;

// Control messages: the class library's own notices between controls.
constexpr UINT CM_BASE = 0xB000;
constexpr UINT CM_ACTIVATE = CM_BASE + 0;
constexpr UINT CM_DEACTIVATE = CM_BASE + 1;
constexpr UINT CM_FOCUSCHANGED = CM_BASE + 7;
constexpr UINT CM_PARENTFONTCHANGED = CM_BASE + 8;
constexpr UINT CM_PARENTCOLORCHANGED = CM_BASE + 9;
constexpr UINT CM_HITTEST = CM_BASE + 10;
constexpr UINT CM_VISIBLECHANGED = CM_BASE + 11;
constexpr UINT CM_ENABLEDCHANGED = CM_BASE + 12;
constexpr UINT CM_COLORCHANGED = CM_BASE + 13;
constexpr UINT CM_FONTCHANGED = CM_BASE + 14;
constexpr UINT CM_CURSORCHANGED = CM_BASE + 15;
constexpr UINT CM_CTL3DCHANGED = CM_BASE + 16;
constexpr UINT CM_PARENTCTL3DCHANGED = CM_BASE + 17;
constexpr UINT CM_TEXTCHANGED = CM_BASE + 18;
constexpr UINT CM_MOUSEENTER = CM_BASE + 19;
constexpr UINT CM_MOUSELEAVE = CM_BASE + 20;
constexpr UINT CM_MENUCHANGED = CM_BASE + 21;
constexpr UINT CM_BUTTONPRESSED = CM_BASE + 24;
constexpr UINT CM_SHOWINGCHANGED = CM_BASE + 25;
constexpr UINT CM_ENTER = CM_BASE + 26;
constexpr UINT CM_EXIT = CM_BASE + 27;
constexpr UINT CM_DESIGNHITTEST = CM_BASE + 28;
constexpr UINT CM_ICONCHANGED = CM_BASE + 29;
constexpr UINT CM_WANTSPECIALKEY = CM_BASE + 30;
constexpr UINT CM_DIALOGKEY = CM_BASE + 31;
constexpr UINT CM_DIALOGCHAR = CM_BASE + 32;
constexpr UINT CM_CANCELMODE = CM_BASE + 35;
constexpr UINT CM_SYSCOLORCHANGE = CM_BASE + 43;
constexpr UINT CM_CONTROLLISTCHANGE = CM_BASE + 44;
constexpr UINT CM_CONTROLCHANGE = CM_BASE + 46;
constexpr UINT CM_SHOWHINTCHANGED = CM_BASE + 48;
constexpr UINT CM_PARENTSHOWHINTCHANGED = CM_BASE + 49;
constexpr UINT CM_HINTSHOW = CM_BASE + 51;
constexpr UINT CM_HINTSHOWPAUSE = CM_BASE + 52;
constexpr UINT CM_BIDIMODECHANGED = CM_BASE + 60;
constexpr UINT CM_PARENTBIDIMODECHANGED = CM_BASE + 61;
constexpr UINT CM_RELEASE = CM_BASE + 33;
constexpr UINT CM_MOUSEWHEEL = CM_BASE + 67;
constexpr UINT CM_DENYSUBCLASSING = CM_BASE + 75;
constexpr UINT CM_INVALIDATE = CM_BASE + 82;

// ---------------------------------------------------------------------------
// Codes carried by messages.

// WM_ACTIVATE WParam.
constexpr WPARAM WA_INACTIVE = 0;
constexpr WPARAM WA_ACTIVE = 1;
constexpr WPARAM WA_CLICKACTIVE = 2;

// WM_SIZE WParam.
constexpr WPARAM SIZE_RESTORED = 0;
constexpr WPARAM SIZE_MINIMIZED = 1;
constexpr WPARAM SIZE_MAXIMIZED = 2;

// Scroll requests (low word of WM_HSCROLL/WM_VSCROLL WParam).
constexpr int SB_LINEUP = 0;
constexpr int SB_LINELEFT = 0;
constexpr int SB_LINEDOWN = 1;
constexpr int SB_LINERIGHT = 1;
constexpr int SB_PAGEUP = 2;
constexpr int SB_PAGELEFT = 2;
constexpr int SB_PAGEDOWN = 3;
constexpr int SB_PAGERIGHT = 3;
constexpr int SB_THUMBPOSITION = 4;
constexpr int SB_THUMBTRACK = 5;
constexpr int SB_TOP = 6;
constexpr int SB_LEFT = 6;
constexpr int SB_BOTTOM = 7;
constexpr int SB_RIGHT = 7;
constexpr int SB_ENDSCROLL = 8;

// Which scroll bar.
constexpr int SB_HORZ = 0;
constexpr int SB_VERT = 1;
constexpr int SB_CTL = 2;
constexpr int SB_BOTH = 3;

// TScrollInfo masks.
constexpr UINT SIF_RANGE = 0x0001;
constexpr UINT SIF_PAGE = 0x0002;
constexpr UINT SIF_POS = 0x0004;
constexpr UINT SIF_DISABLENOSCROLL = 0x0008;
constexpr UINT SIF_TRACKPOS = 0x0010;
constexpr UINT SIF_ALL = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;

// EnableScrollBar arrows.
constexpr UINT ESB_ENABLE_BOTH = 0;
constexpr UINT ESB_DISABLE_LTUP = 1;
constexpr UINT ESB_DISABLE_RTDN = 2;
constexpr UINT ESB_DISABLE_BOTH = 3;

struct TScrollInfo {
    UINT cbSize = sizeof(TScrollInfo);
    UINT fMask = 0;
    int nMin = 0;
    int nMax = 0;
    UINT nPage = 0;
    int nPos = 0;
    int nTrackPos = 0;
};

// Hit-test codes (WM_NCHITTEST result, WM_SETCURSOR and WM_NC... WParam).
constexpr int HTERROR = -2;
constexpr int HTTRANSPARENT = -1;
constexpr int HTNOWHERE = 0;
constexpr int HTCLIENT = 1;
constexpr int HTCAPTION = 2;
constexpr int HTSYSMENU = 3;
constexpr int HTHSCROLL = 6;
constexpr int HTVSCROLL = 7;
constexpr int HTLEFT = 10;
constexpr int HTRIGHT = 11;
constexpr int HTTOP = 12;
constexpr int HTTOPLEFT = 13;
constexpr int HTTOPRIGHT = 14;
constexpr int HTBOTTOM = 15;
constexpr int HTBOTTOMLEFT = 16;
constexpr int HTBOTTOMRIGHT = 17;
// The sizing codes run from HTLEFT to HTBOTTOMRIGHT.
constexpr int HTSIZEFIRST = HTLEFT;
constexpr int HTSIZELAST = HTBOTTOMRIGHT;
constexpr int HTBORDER = 18;

// WM_GETDLGCODE answers.
constexpr LRESULT DLGC_WANTARROWS = 0x0001;
constexpr LRESULT DLGC_WANTTAB = 0x0002;
constexpr LRESULT DLGC_WANTALLKEYS = 0x0004;
constexpr LRESULT DLGC_WANTMESSAGE = 0x0004;
constexpr LRESULT DLGC_HASSETSEL = 0x0008;
constexpr LRESULT DLGC_DEFPUSHBUTTON = 0x0010;
constexpr LRESULT DLGC_UNDEFPUSHBUTTON = 0x0020;
constexpr LRESULT DLGC_RADIOBUTTON = 0x0040;
constexpr LRESULT DLGC_WANTCHARS = 0x0080;
constexpr LRESULT DLGC_STATIC = 0x0100;
constexpr LRESULT DLGC_BUTTON = 0x2000;

// Mouse key flags (WParam of the client mouse messages).
constexpr WPARAM MK_LBUTTON = 0x0001;
constexpr WPARAM MK_RBUTTON = 0x0002;
constexpr WPARAM MK_SHIFT = 0x0004;
constexpr WPARAM MK_CONTROL = 0x0008;
constexpr WPARAM MK_MBUTTON = 0x0010;

// One wheel notch.
constexpr int WHEEL_DELTA = 120;

// Bit of the key data (LParam of key messages) for Alt held down.
constexpr LPARAM KF_ALTDOWN_BIT = LPARAM(1) << 29;

// Virtual-key codes.
constexpr Word VK_LBUTTON = 0x01;
constexpr Word VK_RBUTTON = 0x02;
constexpr Word VK_CANCEL = 0x03;
constexpr Word VK_MBUTTON = 0x04;
constexpr Word VK_BACK = 0x08;
constexpr Word VK_TAB = 0x09;
constexpr Word VK_CLEAR = 0x0C;
constexpr Word VK_RETURN = 0x0D;
constexpr Word VK_SHIFT = 0x10;
constexpr Word VK_CONTROL = 0x11;
constexpr Word VK_MENU = 0x12;
constexpr Word VK_PAUSE = 0x13;
constexpr Word VK_CAPITAL = 0x14;
constexpr Word VK_ESCAPE = 0x1B;
constexpr Word VK_SPACE = 0x20;
constexpr Word VK_PRIOR = 0x21;
constexpr Word VK_NEXT = 0x22;
constexpr Word VK_END = 0x23;
constexpr Word VK_HOME = 0x24;
constexpr Word VK_LEFT = 0x25;
constexpr Word VK_UP = 0x26;
constexpr Word VK_RIGHT = 0x27;
constexpr Word VK_DOWN = 0x28;
constexpr Word VK_PRINT = 0x2A;
constexpr Word VK_SNAPSHOT = 0x2C;
constexpr Word VK_INSERT = 0x2D;
constexpr Word VK_DELETE = 0x2E;
constexpr Word VK_HELP = 0x2F;
// '0'..'9' and 'A'..'Z' are their ASCII codes.
constexpr Word VK_LWIN = 0x5B;
constexpr Word VK_RWIN = 0x5C;
constexpr Word VK_APPS = 0x5D;
constexpr Word VK_NUMPAD0 = 0x60;
constexpr Word VK_NUMPAD1 = 0x61;
constexpr Word VK_NUMPAD2 = 0x62;
constexpr Word VK_NUMPAD3 = 0x63;
constexpr Word VK_NUMPAD4 = 0x64;
constexpr Word VK_NUMPAD5 = 0x65;
constexpr Word VK_NUMPAD6 = 0x66;
constexpr Word VK_NUMPAD7 = 0x67;
constexpr Word VK_NUMPAD8 = 0x68;
constexpr Word VK_NUMPAD9 = 0x69;
constexpr Word VK_MULTIPLY = 0x6A;
constexpr Word VK_ADD = 0x6B;
constexpr Word VK_SEPARATOR = 0x6C;
constexpr Word VK_SUBTRACT = 0x6D;
constexpr Word VK_DECIMAL = 0x6E;
constexpr Word VK_DIVIDE = 0x6F;
constexpr Word VK_F1 = 0x70;
constexpr Word VK_F4 = 0x73;
constexpr Word VK_F12 = 0x7B;
constexpr Word VK_F24 = 0x87;
constexpr Word VK_NUMLOCK = 0x90;
constexpr Word VK_SCROLL = 0x91;
constexpr Word VK_LSHIFT = 0xA0;
constexpr Word VK_RSHIFT = 0xA1;
constexpr Word VK_LCONTROL = 0xA2;
constexpr Word VK_RCONTROL = 0xA3;
constexpr Word VK_LMENU = 0xA4;
constexpr Word VK_RMENU = 0xA5;
constexpr Word VK_OEM_1 = 0xBA;
constexpr Word VK_OEM_PLUS = 0xBB;
constexpr Word VK_OEM_COMMA = 0xBC;
constexpr Word VK_OEM_MINUS = 0xBD;
constexpr Word VK_OEM_PERIOD = 0xBE;
constexpr Word VK_OEM_2 = 0xBF;

// ---------------------------------------------------------------------------
// Packing helpers.

constexpr Word LoWord(std::uintptr_t V) { return Word(V & 0xFFFF); }
constexpr Word HiWord(std::uintptr_t V) { return Word((V >> 16) & 0xFFFF); }
constexpr LPARAM MakeLParam(int Lo, int Hi)
{
    return LPARAM(std::uint32_t(Word(Lo)) | (std::uint32_t(Word(Hi)) << 16));
}
constexpr WPARAM MakeWParam(int Lo, int Hi) { return WPARAM(std::uint32_t(MakeLParam(Lo, Hi))); }
// A point packed as two signed 16-bit halves, as mouse messages carry it.
constexpr LPARAM PointToLParam(const TPoint& P) { return MakeLParam(P.X, P.Y); }

// ---------------------------------------------------------------------------
// Parameters of WM_NCCALCSIZE: Rgrc[0] arrives as the window rectangle in its
// parent's client coordinates and leaves as the client rectangle in the same
// coordinates. Each handler narrows what the one before it left.
struct TNCCalcSizeParams {
    TRect Rgrc[3];
};

// ---------------------------------------------------------------------------

struct TMessage {
    UINT Msg = 0;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
    LRESULT Result = 0;

    TMessage() = default;
    TMessage(UINT AMsg, WPARAM AWParam = 0, LPARAM ALParam = 0)
        : Msg(AMsg), WParam(AWParam), LParam(ALParam) {}

    Word WParamLo() const { return LoWord(WParam); }
    Word WParamHi() const { return HiWord(WParam); }
    Word LParamLo() const { return LoWord(std::uintptr_t(LParam)); }
    Word LParamHi() const { return HiWord(std::uintptr_t(LParam)); }

    // Mouse messages (client ones in client coordinates, WM_NC... and
    // WM_CONTEXTMENU in screen coordinates).
    SmallInt XPos() const { return SmallInt(LParamLo()); }
    SmallInt YPos() const { return SmallInt(LParamHi()); }
    TPoint Pos() const { return {XPos(), YPos()}; }
    // MK_... flags of a client mouse message.
    WPARAM Keys() const { return WParam; }
    // Hit-test code of a WM_NC... mouse message.
    int HitTest() const { return int(WParam); }

    // Key messages.
    Word CharCode() const { return Word(WParam); }
    void SetCharCode(Word Value) { WParam = Value; }
    LPARAM KeyData() const { return LParam; }

    // CM_MOUSEWHEEL / WM_MOUSEWHEEL: the signed turn (WHEEL_DELTA per notch)
    // in the high word, the MK_... flags in the low word, the pointer in
    // screen coordinates.
    SmallInt WheelDelta() const { return SmallInt(WParamHi()); }
    WPARAM WheelKeys() const { return WParamLo(); }

    // WM_HSCROLL / WM_VSCROLL: the SB_... request and the 16-bit position
    // that comes with SB_THUMBTRACK and SB_THUMBPOSITION (read the 32-bit
    // position with GetScrollInfo and SIF_TRACKPOS).
    int ScrollCode() const { return SmallInt(WParamLo()); }
    int ScrollPos() const { return SmallInt(WParamHi()); }

    // WM_TIMER.
    UINT_PTR TimerID() const { return WParam; }

    // WM_SETCURSOR: the window under the pointer, its hit-test code and the
    // mouse message that caused the query.
    HWND CursorWnd() const { return HWND(WParam); }
    int CursorHitTest() const { return SmallInt(LParamLo()); }
    UINT MouseMsg() const { return LParamHi(); }

    // WM_NCCALCSIZE.
    TNCCalcSizeParams* CalcSizeParams() const { return reinterpret_cast<TNCCalcSizeParams*>(LParam); }

    // WM_SIZE.
    int Width() const { return LParamLo(); }
    int Height() const { return LParamHi(); }
    WPARAM SizeType() const { return WParam; }

    // WM_NCPAINT, WM_ERASEBKGND, WM_PAINT, WM_PRINTCLIENT: the canvas to
    // paint on (null: the control's own).
    TCanvas* DC() const { return reinterpret_cast<TCanvas*>(WParam); }

    // WM_SETFOCUS / WM_KILLFOCUS: the window losing or taking the focus.
    HWND FocusedWnd() const { return HWND(WParam); }
};

// Numbers for messages the program names at run time (RegisterWindowMessage):
// the same name gives the same number for the life of the process.
UINT RegisterWindowMessage(const String& Name);
