// Reading one value of an open registry key with a default, and writing one value back. Reads
// never fail (the default stands in); writes return E_FAIL when the value could not be set.
#pragma once

#include "platform/win32/registry.h"
#include "platform/win32/types.h"

HRESULT ReadStringValue(HKEY key, const char *name, char *buffer, DWORD bufferSize,
                        const char *defaultValue);
HRESULT WriteStringValue(HKEY key, const char *name, const char *value);
HRESULT ReadIntValue(HKEY key, const char *name, DWORD *value, DWORD defaultValue);
HRESULT WriteIntValue(HKEY key, const char *name, DWORD value);
HRESULT ReadBoolValue(HKEY key, const char *name, BOOL *value, BOOL defaultValue);
HRESULT WriteBoolValue(HKEY key, const char *name, BOOL value);
HRESULT ReadGuidValue(HKEY key, const char *name, GUID *value, const GUID *defaultValue);
HRESULT WriteGuidValue(HKEY key, const char *name, GUID value);
