// The registry value functions. A read asks for exactly the bytes its type needs and accepts what
// the query returns; the stored type is not compared, so a number read as a flag gives the same
// four bytes. Beyond that, a read is only taken when it leaves a whole value behind: a number
// stored with fewer than its four bytes, or a string with no terminator inside the buffer, gives
// the default rather than a value padded with whatever the buffer held before.
#include "framework/registry_values.h"

#include "platform/win32/results.h"

#include <algorithm>
#include <cstring>

namespace {

// Queries exactly `size` bytes into `out`; true only when all of them came back.
bool readExactly(HKEY key, const char *name, void *out, DWORD size) {
    BYTE bytes[16];
    DWORD got = size;
    if (RegQueryValueExA(key, name, nullptr, nullptr, bytes, &got) != ERROR_SUCCESS || got != size)
        return false;
    std::memcpy(out, bytes, size);
    return true;
}

HRESULT write(HKEY key, const char *name, DWORD type, const void *data, DWORD size) {
    return RegSetValueExA(key, name, 0, type, static_cast<const BYTE *>(data), size) ==
                   ERROR_SUCCESS
               ? S_OK
               : E_FAIL;
}

// Copies as much of the default as the buffer holds, always terminated: a default longer than the
// buffer is cut rather than written past its end.
void copyDefault(char *buffer, DWORD bufferSize, const char *defaultValue) {
    if (bufferSize == 0)
        return;
    const char *text = defaultValue ? defaultValue : "";
    const std::size_t length = std::min<std::size_t>(std::strlen(text), bufferSize - 1);
    std::memcpy(buffer, text, length);
    buffer[length] = '\0';
}

} // namespace

HRESULT ReadStringValue(HKEY key, const char *name, char *buffer, DWORD bufferSize,
                        const char *defaultValue) {
    if (!buffer)
        return S_OK;
    DWORD size = bufferSize;
    if (RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE *>(buffer), &size) ==
        ERROR_SUCCESS) {
        // The bytes are as stored; a string stored without its terminator gets one when there is
        // room after it, and is refused when it fills the buffer.
        if (std::memchr(buffer, '\0', size) != nullptr)
            return S_OK;
        if (size < bufferSize) {
            buffer[size] = '\0';
            return S_OK;
        }
    }
    copyDefault(buffer, bufferSize, defaultValue);
    return S_OK;
}

HRESULT WriteStringValue(HKEY key, const char *name, const char *value) {
    if (!value)
        return E_FAIL;
    return write(key, name, REG_SZ, value, static_cast<DWORD>(std::strlen(value) + 1));
}

HRESULT ReadIntValue(HKEY key, const char *name, DWORD *value, DWORD defaultValue) {
    if (value && !readExactly(key, name, value, sizeof *value))
        *value = defaultValue;
    return S_OK;
}

HRESULT WriteIntValue(HKEY key, const char *name, DWORD value) {
    return write(key, name, REG_DWORD, &value, sizeof value);
}

HRESULT ReadBoolValue(HKEY key, const char *name, BOOL *value, BOOL defaultValue) {
    if (value && !readExactly(key, name, value, sizeof *value))
        *value = defaultValue;
    return S_OK;
}

HRESULT WriteBoolValue(HKEY key, const char *name, BOOL value) {
    return write(key, name, REG_DWORD, &value, sizeof value);
}

HRESULT ReadGuidValue(HKEY key, const char *name, GUID *value, const GUID *defaultValue) {
    static_assert(sizeof(GUID) == 16);
    if (value && !readExactly(key, name, value, sizeof *value))
        *value = defaultValue ? *defaultValue : GUID_NULL;
    return S_OK;
}

HRESULT WriteGuidValue(HKEY key, const char *name, GUID value) {
    return write(key, name, REG_BINARY, &value, sizeof value);
}
