// The DirectX file interfaces: enumerate the data objects of an X file (from a file, a module
// resource or memory), walk their children and references, and read their names, types and
// packed data. They sit on the same X-file reader as the mesh loader.
#pragma once

#include "platform/d3dx/xfile_reader.h"
#include "platform/win32/com.h"

using DXFILELOADOPTIONS = DWORD;
constexpr DXFILELOADOPTIONS DXFILELOAD_FROMFILE = 0x0;
constexpr DXFILELOADOPTIONS DXFILELOAD_FROMRESOURCE = 0x1;
constexpr DXFILELOADOPTIONS DXFILELOAD_FROMMEMORY = 0x2;

struct DXFILELOADRESOURCE {
    HMODULE hModule;
    LPCSTR lpName;
    LPCSTR lpType;
};

struct DXFILELOADMEMORY {
    LPVOID lpMemory;
    DWORD dSize;
};

// Failure codes of the file interfaces.
constexpr HRESULT DXFILEERR_BADVALUE = MakeResult(0x88760353);
constexpr HRESULT DXFILEERR_NOTFOUND = MakeResult(0x88760357);
constexpr HRESULT DXFILEERR_FILENOTFOUND = MakeResult(0x88760359);
constexpr HRESULT DXFILEERR_RESOURCENOTFOUND = MakeResult(0x8876035A);
constexpr HRESULT DXFILEERR_BADFILE = MakeResult(0x88760361);
constexpr HRESULT DXFILEERR_PARSEERROR = MakeResult(0x88760362);
constexpr HRESULT DXFILEERR_NOMOREOBJECTS = MakeResult(0x88760367);
constexpr HRESULT DXFILEERR_NOMOREDATA = MakeResult(0x8876036A);

// The data interface answers to the mesh template's identifier, as the frame loader expects.
inline constexpr IID IID_IDirectXFileData = TID_D3DRMMesh;
inline constexpr IID IID_IDirectXFileObject = {
    0x54415256, 0x0002, 0x4F53, {0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01}};
inline constexpr IID IID_IDirectXFileDataReference = {
    0x54415256, 0x0002, 0x4F53, {0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x02}};
inline constexpr IID IID_IDirectXFileEnumObject = {
    0x54415256, 0x0002, 0x4F53, {0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x03}};
inline constexpr IID IID_IDirectXFile = {
    0x54415256, 0x0002, 0x4F53, {0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x04}};

struct IDirectXFileData;

struct IDirectXFileObject : public IUnknown {
    // The name with its terminator; with a NULL buffer only the size needed.
    STDMETHOD(GetName)(LPSTR name, LPDWORD size) PURE;
    STDMETHOD(GetId)(LPGUID id) PURE;
};

struct IDirectXFileData : public IDirectXFileObject {
    // The packed values of one member, or of all members when `member` is NULL.
    STDMETHOD(GetData)(LPCSTR member, DWORD *size, void **data) PURE;
    STDMETHOD(GetType)(const GUID **type) PURE;
    // The next child: a data object or a data reference; DXFILEERR_NOMOREOBJECTS at the end.
    STDMETHOD(GetNextObject)(IDirectXFileObject **child) PURE;
};

struct IDirectXFileDataReference : public IDirectXFileObject {
    STDMETHOD(Resolve)(IDirectXFileData **data) PURE;
};

struct IDirectXFileEnumObject : public IUnknown {
    // The next top-level data object; DXFILEERR_NOMOREOBJECTS at the end.
    STDMETHOD(GetNextDataObject)(IDirectXFileData **data) PURE;
    STDMETHOD(GetDataObjectById)(REFGUID id, IDirectXFileData **data) PURE;
    STDMETHOD(GetDataObjectByName)(LPCSTR name, IDirectXFileData **data) PURE;
};

struct IDirectXFile : public IUnknown {
    STDMETHOD(CreateEnumObject)
    (LPVOID source, DXFILELOADOPTIONS options, IDirectXFileEnumObject **enumObject) PURE;
    // Adds the templates of an X file block to those later files may use.
    STDMETHOD(RegisterTemplates)(LPVOID templates, DWORD size) PURE;
};

using LPDIRECTXFILE = IDirectXFile *;
using LPDIRECTXFILEENUMOBJECT = IDirectXFileEnumObject *;
using LPDIRECTXFILEDATA = IDirectXFileData *;
using LPDIRECTXFILEOBJECT = IDirectXFileObject *;
using LPDIRECTXFILEDATAREFERENCE = IDirectXFileDataReference *;

HRESULT DirectXFileCreate(IDirectXFile **file);

// The standard template block for RegisterTemplates: our own templates as an X file, padded to
// its documented size.
constexpr DWORD D3DRM_XTEMPLATE_BYTES = 3278;
extern const unsigned char *const D3DRM_XTEMPLATES;

namespace dxfile {
// The parsed object behind a data object of these interfaces (for the mesh loader), or null for
// an object of another implementation. Valid while the data object is.
const xfile::DataObject *DataObjectOf(IDirectXFileData *data);
} // namespace dxfile
