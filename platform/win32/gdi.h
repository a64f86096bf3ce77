// The small part of the graphics device interface the program uses: font records for the text
// fonts, and bitmaps and device contexts through which a cursor's pictures are read as pixels.
#pragma once

#include "platform/win32/types.h"

constexpr int LF_FACESIZE = 32;

struct LOGFONTA {
    LONG lfHeight;
    LONG lfWidth;
    LONG lfEscapement;
    LONG lfOrientation;
    LONG lfWeight;
    BYTE lfItalic;
    BYTE lfUnderline;
    BYTE lfStrikeOut;
    BYTE lfCharSet;
    BYTE lfOutPrecision;
    BYTE lfClipPrecision;
    BYTE lfQuality;
    BYTE lfPitchAndFamily;
    CHAR lfFaceName[LF_FACESIZE];
};
static_assert(sizeof(LOGFONTA) == 60);

constexpr int FW_NORMAL = 400;
constexpr int FW_BOLD = 700;
constexpr DWORD ANTIALIASED_QUALITY = 4;

// Text format flags of the text-drawing calls.
constexpr DWORD DT_TOP = 0x0000;
constexpr DWORD DT_LEFT = 0x0000;
constexpr DWORD DT_CENTER = 0x0001;
constexpr DWORD DT_RIGHT = 0x0002;
constexpr DWORD DT_VCENTER = 0x0004;
constexpr DWORD DT_BOTTOM = 0x0008;
constexpr DWORD DT_SINGLELINE = 0x0020;
constexpr DWORD DT_NOCLIP = 0x0100;
constexpr DWORD DT_CALCRECT = 0x0400;

struct BITMAP {
    LONG bmType;
    LONG bmWidth;
    LONG bmHeight;
    LONG bmWidthBytes;
    WORD bmPlanes;
    WORD bmBitsPixel;
    void *bmBits;
};

struct BITMAPINFOHEADER {
    DWORD biSize;
    LONG biWidth;
    LONG biHeight;
    WORD biPlanes;
    WORD biBitCount;
    DWORD biCompression;
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;
    DWORD biClrImportant;
};
// Callers put the header's size in biSize and the call checks it: it must be the usual 40.
static_assert(sizeof(BITMAPINFOHEADER) == 40);

struct RGBQUAD {
    BYTE rgbBlue;
    BYTE rgbGreen;
    BYTE rgbRed;
    BYTE rgbReserved;
};

struct BITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[1];
};

constexpr DWORD BI_RGB = 0;
constexpr UINT DIB_RGB_COLORS = 0;

struct ICONINFO {
    BOOL fIcon;
    DWORD xHotspot;
    DWORD yHotspot;
    HBITMAP hbmMask;
    HBITMAP hbmColor;
};

// A font record; nothing is rasterised until a text font is made from it.
HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                  DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision,
                  DWORD clipPrecision, DWORD quality, DWORD pitchAndFamily, LPCSTR faceName);

// Deletes a font or bitmap (not one still selected into a device context). Stock objects are
// the system's: deleting one does nothing and succeeds.
BOOL DeleteObject(HGDIOBJ object);

// BITMAP for a bitmap, LOGFONTA for a font. With no buffer, the size it would need; else the
// bytes written, 0 on failure (unknown object, buffer too small).
int GetObjectA(HGDIOBJ object, int bufferSize, LPVOID buffer);

// New bitmaps (mask, and colour unless it is a black-and-white cursor) that the caller deletes.
BOOL GetIconInfo(HICON icon, ICONINFO *info);

// The screen's (NULL) or a window's device context; give it back with ReleaseDC.
HDC GetDC(HWND window);
int ReleaseDC(HWND window, HDC dc);
// A memory device context; delete it with DeleteDC.
HDC CreateCompatibleDC(HDC dc);
BOOL DeleteDC(HDC dc);
// Returns the object of that kind selected before, NULL on failure.
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);

// Copies `lines` scan lines from `start` (counted from the bottom for a bottom-up request) as
// 32-bit BI_RGB pixels (blue in the low byte). With no buffer it only fills in the header's
// image size. Returns the lines copied, 0 on failure.
int GetDIBits(HDC dc, HBITMAP bitmap, UINT start, UINT lines, LPVOID bits, BITMAPINFO *info,
              UINT usage);
