// Fonts, bitmaps and device contexts: creation, deletion, selection and description.
#include "platform/win32/gdi_objects.h"

#include "platform/seams/failure_injection.h"
#include "platform/win32/debug_output.h"
#include "platform/win32/window.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <utility>
#include <variant>

namespace win32::gdi {
namespace {

// What a device context holds selected. A fresh memory context holds the system's one-pixel
// bitmap; a window context holds no bitmap of ours.
struct DeviceContext {
    bool memory = false;
    HGDIOBJ bitmap = nullptr;
    HGDIOBJ font = nullptr;
};

using Object = std::variant<LOGFONTA, Bitmap, DeviceContext>;

// Objects the system owns: a memory context's first bitmap and every context's first font. They
// are small tagged numbers, like the window layer's stock brushes, and never in the table.
const HGDIOBJ kDefaultBitmap = reinterpret_cast<HGDIOBJ>(std::uintptr_t{0x00050001});
const HGDIOBJ kDefaultFont = reinterpret_cast<HGDIOBJ>(std::uintptr_t{0x00050002});

struct Table {
    std::mutex lock;
    std::unordered_map<const void *, std::unique_ptr<Object>> objects;
};

Table &table() {
    static Table instance;
    return instance;
}

void trace(const std::string &text) {
    OutputDebugStringA(("gdi: " + text + "\n").c_str());
}

// Call with the table locked.
Object *find(const void *handle) {
    auto &objects = table().objects;
    const auto it = objects.find(handle);
    return it == objects.end() ? nullptr : it->second.get();
}

void *insert(Object object) {
    auto owned = std::make_unique<Object>(std::move(object));
    void *handle = owned.get();
    std::lock_guard guard(table().lock);
    table().objects.emplace(handle, std::move(owned));
    return handle;
}

bool isStockObject(HGDIOBJ object) {
    if (object == kDefaultBitmap || object == kDefaultFont)
        return true;
    for (int stock = 0; stock <= 5; ++stock)
        if (object == GetStockObject(stock))
            return true;
    return false;
}

// Call with the table locked: whether any device context has `object` selected.
bool isSelected(HGDIOBJ object) {
    for (const auto &[handle, entry] : table().objects)
        if (const auto *dc = std::get_if<DeviceContext>(entry.get()))
            if (dc->bitmap == object || dc->font == object)
                return true;
    return false;
}

HDC newDeviceContext(bool memory) {
    DeviceContext dc;
    dc.memory = memory;
    dc.bitmap = memory ? kDefaultBitmap : nullptr;
    dc.font = kDefaultFont;
    return static_cast<HDC>(insert(dc));
}

} // namespace

HBITMAP CreateBitmapObject(Bitmap bitmap) {
    return static_cast<HBITMAP>(insert(std::move(bitmap)));
}

bool ReadBitmap(HBITMAP handle, Bitmap *out) {
    std::lock_guard guard(table().lock);
    const Object *object = find(handle);
    const auto *bitmap = object ? std::get_if<Bitmap>(object) : nullptr;
    if (!bitmap)
        return false;
    *out = *bitmap;
    return true;
}

bool IsDeviceContext(HDC dc) {
    std::lock_guard guard(table().lock);
    const Object *object = find(dc);
    return object && std::holds_alternative<DeviceContext>(*object);
}

} // namespace win32::gdi

using namespace win32::gdi;

HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                  DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision,
                  DWORD clipPrecision, DWORD quality, DWORD pitchAndFamily, LPCSTR faceName) {
    if (seams::ShouldFail("CreateFontA"))
        return nullptr;
    LOGFONTA font{};
    font.lfHeight = height;
    font.lfWidth = width;
    font.lfEscapement = escapement;
    font.lfOrientation = orientation;
    font.lfWeight = weight;
    font.lfItalic = static_cast<BYTE>(italic != 0);
    font.lfUnderline = static_cast<BYTE>(underline != 0);
    font.lfStrikeOut = static_cast<BYTE>(strikeOut != 0);
    font.lfCharSet = static_cast<BYTE>(charSet);
    font.lfOutPrecision = static_cast<BYTE>(outPrecision);
    font.lfClipPrecision = static_cast<BYTE>(clipPrecision);
    font.lfQuality = static_cast<BYTE>(quality);
    font.lfPitchAndFamily = static_cast<BYTE>(pitchAndFamily);
    // A longer face name is cut to what the record holds, always terminated.
    if (faceName)
        std::strncpy(font.lfFaceName, faceName, LF_FACESIZE - 1);
    return static_cast<HFONT>(insert(font));
}

BOOL DeleteObject(HGDIOBJ object) {
    if (!object)
        return FALSE;
    if (isStockObject(object))
        return TRUE;
    std::unique_ptr<Object> doomed;
    {
        std::lock_guard guard(table().lock);
        auto &objects = table().objects;
        const auto it = objects.find(object);
        if (it == objects.end() || std::holds_alternative<DeviceContext>(*it->second)) {
            trace("DeleteObject: not a font or bitmap");
            return FALSE;
        }
        if (isSelected(object)) {
            trace("DeleteObject: the object is still selected into a device context");
            return FALSE;
        }
        doomed = std::move(it->second);
        objects.erase(it);
    }
    return TRUE;
}

int GetObjectA(HGDIOBJ object, int bufferSize, LPVOID buffer) {
    std::lock_guard guard(table().lock);
    const Object *entry = object ? find(object) : nullptr;
    if (const auto *bitmap = entry ? std::get_if<Bitmap>(entry) : nullptr) {
        if (!buffer)
            return sizeof(BITMAP);
        if (bufferSize < static_cast<int>(sizeof(BITMAP)))
            return 0;
        BITMAP description{};
        description.bmWidth = bitmap->width;
        description.bmHeight = bitmap->height;
        // Rows of a device-dependent bitmap are padded to whole 16-bit words.
        description.bmWidthBytes = ((bitmap->width * bitmap->bitsPerPixel + 15) / 16) * 2;
        description.bmPlanes = 1;
        description.bmBitsPixel = bitmap->bitsPerPixel;
        std::memcpy(buffer, &description, sizeof description);
        return sizeof(BITMAP);
    }
    if (const auto *font = entry ? std::get_if<LOGFONTA>(entry) : nullptr) {
        if (!buffer)
            return sizeof(LOGFONTA);
        if (bufferSize < static_cast<int>(sizeof(LOGFONTA)))
            return 0;
        std::memcpy(buffer, font, sizeof *font);
        return sizeof(LOGFONTA);
    }
    trace("GetObjectA: not a font or bitmap");
    return 0;
}

HDC GetDC(HWND) {
    return newDeviceContext(false);
}

int ReleaseDC(HWND, HDC dc) {
    std::lock_guard guard(table().lock);
    auto &objects = table().objects;
    const auto it = objects.find(dc);
    const auto *context =
        it == objects.end() ? nullptr : std::get_if<DeviceContext>(it->second.get());
    if (!context || context->memory)
        return 0;
    objects.erase(it);
    return 1;
}

HDC CreateCompatibleDC(HDC dc) {
    if (seams::ShouldFail("CreateCompatibleDC"))
        return nullptr;
    if (dc && !IsDeviceContext(dc)) {
        trace("CreateCompatibleDC: not a device context");
        return nullptr;
    }
    return newDeviceContext(true);
}

BOOL DeleteDC(HDC dc) {
    std::lock_guard guard(table().lock);
    auto &objects = table().objects;
    const auto it = objects.find(dc);
    const auto *context =
        it == objects.end() ? nullptr : std::get_if<DeviceContext>(it->second.get());
    if (!context || !context->memory)
        return FALSE;
    // What was selected into it stays alive and can be deleted now.
    objects.erase(it);
    return TRUE;
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
    std::lock_guard guard(table().lock);
    Object *entry = dc ? find(dc) : nullptr;
    auto *context = entry ? std::get_if<DeviceContext>(entry) : nullptr;
    if (!context || !object)
        return nullptr;
    const Object *selected = find(object);
    if (object == kDefaultBitmap || (selected && std::holds_alternative<Bitmap>(*selected))) {
        // A bitmap is drawn on through one memory context at a time.
        if (!context->memory ||
            (object != context->bitmap && object != kDefaultBitmap && isSelected(object)))
            return nullptr;
        return std::exchange(context->bitmap, object);
    }
    if (object == kDefaultFont || (selected && std::holds_alternative<LOGFONTA>(*selected)))
        return std::exchange(context->font, object);
    trace("SelectObject: not a font or bitmap");
    return nullptr;
}
