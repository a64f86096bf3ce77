// GUIDs in their braced text form, "{12345678-9ABC-DEF0-0102-030405060708}".
#include "framework/utilities.h"

#include <cstdio>

BOOL GuidFromString(const char *text, GUID *value) {
    if (!value)
        return FALSE;
    unsigned int data1 = 0;
    unsigned int fields[10] = {};
    const int read = text ? std::sscanf(text, "{%8X-%4X-%4X-%2X%2X-%2X%2X%2X%2X%2X%2X}", &data1,
                                        &fields[0], &fields[1], &fields[2], &fields[3], &fields[4],
                                        &fields[5], &fields[6], &fields[7], &fields[8], &fields[9])
                          : 0;
    if (read != 11) {
        *value = GUID_NULL;
        return FALSE;
    }
    value->Data1 = data1;
    value->Data2 = static_cast<WORD>(fields[0]);
    value->Data3 = static_cast<WORD>(fields[1]);
    for (int i = 0; i < 8; ++i)
        value->Data4[i] = static_cast<BYTE>(fields[2 + i]);
    return TRUE;
}

int GuidToString(const GUID *value, char *text) {
    if (!value || !text)
        return 0;
    // Always 38 characters and the terminator.
    return std::snprintf(text, 39, "{%.8X-%.4X-%.4X-%.2X%.2X-%.2X%.2X%.2X%.2X%.2X%.2X}",
                         static_cast<unsigned>(value->Data1), value->Data2, value->Data3,
                         value->Data4[0], value->Data4[1], value->Data4[2], value->Data4[3],
                         value->Data4[4], value->Data4[5], value->Data4[6], value->Data4[7]);
}
