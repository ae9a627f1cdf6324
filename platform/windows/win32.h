// windows.h for the Windows backend, with the program's own names kept.
//
// platform.h and forms.h declare constants, records and operations under the
// names Windows gives them (JOYERR_NOERROR, MessageBox, RGB, ...), and
// core/file_io.h a ReplaceFile; windows.h defines many of these names as
// macros. Every backend file includes this header in place of windows.h and
// the other Windows headers: it takes those macros away, so the program's own
// declarations, whose values equal Windows', stand; the backend then calls
// Win32 by the explicit W (or A) names and writes ::POINT for Windows' records.
// A Windows header that this file does not include must be included after it.
#pragma once

#ifndef UNICODE
#define UNICODE
#endif
#ifndef _UNICODE
#define _UNICODE
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif

#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>
#include <commdlg.h>
#include <mmsystem.h>
#include <shellapi.h>

// Records and operations of platform.h.
#undef JOYCAPS
#undef NOTIFYICONDATA
#undef OPENFILENAME
#undef MessageBox
// Constants of platform.h.
#undef JOYERR_NOERROR
#undef JOYERR_PARMS
#undef JOYERR_UNPLUGGED
#undef JOY_RETURNALL
#undef MOUSEEVENTF_LEFTDOWN
#undef MOUSEEVENTF_LEFTUP
#undef MOUSEEVENTF_RIGHTDOWN
#undef MOUSEEVENTF_RIGHTUP
#undef MOUSEEVENTF_MIDDLEDOWN
#undef MOUSEEVENTF_MIDDLEUP
#undef WM_MOUSEMOVE
#undef WM_LBUTTONDOWN
#undef WM_LBUTTONUP
#undef WM_LBUTTONDBLCLK
#undef WM_RBUTTONDOWN
#undef WM_RBUTTONUP
#undef WM_RBUTTONDBLCLK
#undef NIM_ADD
#undef NIM_MODIFY
#undef NIM_DELETE
#undef NIF_MESSAGE
#undef NIF_ICON
#undef NIF_TIP
#undef SW_SHOWNORMAL
#undef SW_SHOWMAXIMIZED
#undef OFN_ALLOWMULTISELECT
#undef MB_ICONEXCLAMATION
#undef LOCALE_SENGCOUNTRY
#undef FILE_ATTRIBUTE_READONLY
#undef FILE_ATTRIBUTE_HIDDEN
#undef FILE_ATTRIBUTE_SYSTEM
#undef MF_BYPOSITION
// forms.h.
#undef RGB
// core/file_io.h.
#undef ReplaceFile

#include "platform/forms.h"
#include "platform/platform.h"

// The program's values are Windows' own; the backend hands them to Win32
// unchanged.
static_assert(gimbalo::WM_MOUSEMOVE == 0x0200 && gimbalo::WM_RBUTTONUP == 0x0205);
static_assert(gimbalo::NIM_DELETE == 2 && gimbalo::NIF_TIP == 4);
static_assert(gimbalo::MF_BYPOSITION == 0x400 && gimbalo::MB_ICONEXCLAMATION == 0x30);
