// The framework's general helpers: finding media files, converting text between 8-bit and wide
// characters, debug-output traces, and GUIDs in their braced text form.
#pragma once

#include "platform/win32/types.h"

// The media folder named by the machine's "Media Root" setting followed by "\Media\", or "".
const char *GetMediaPath();
// Finds `fileName` as given, by its last component alone, or in the media folder; writes the path
// that opened (or the unchanged name, cut to fit) to `path`, which must hold MAX_PATH characters.
HRESULT FindMediaFile(char *path, const char *fileName);

// `count` is in characters of the destination; -1 converts the whole source with its terminator.
// The destination is always terminated within `count`.
void ConvertAnsiToWide(WCHAR *destination, const char *source, int count);
void ConvertWideToAnsi(char *destination, const WCHAR *source, int count);
void ConvertTCharToAnsi(char *destination, const char *source, int count);
void ConvertAnsiToTChar(char *destination, const char *source, int count);
void ConvertTCharToWide(WCHAR *destination, const char *source, int count);
void ConvertWideToTChar(char *destination, const WCHAR *source, int count);

// "file(line): message", then "(hr=xxxxxxxx)" when the code is not zero, then a line break, to the
// debug output. Returns the code.
HRESULT TraceError(const char *sourceFile, DWORD line, HRESULT code, const char *message);
// printf-style text to the debug output, cut to 511 characters.
void TraceFormatted(const char *format, ...) __attribute__((format(printf, 1, 2)));

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" to a GUID; FALSE and the zero GUID when it is not one.
BOOL GuidFromString(const char *text, GUID *value);
// The braced text of a GUID into `text` (39 characters with the terminator); the count written.
int GuidToString(const GUID *value, char *text);
