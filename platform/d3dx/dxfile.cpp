// The DirectX file interfaces over the X-file reader. Every object handed out keeps the parsed
// document alive, so children and data pointers stay valid however the caller orders releases.
#include "platform/d3dx/dxfile.h"

#include "platform/image/image.h"
#include "platform/seams/failure_injection.h"
#include "platform/win32/debug_output.h"

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/win32/files.h"
#include "platform/win32/resources.h"

namespace {

using DocumentPtr = std::shared_ptr<const xfile::Document>;

void Trace(const std::string &text) {
    OutputDebugStringA(("DirectXFile: " + text + "\n").c_str());
}

// Name and identifier, shared by data objects and references.
template <class Interface> class FileObjectBase : public RefCounted<Interface> {
public:
    FileObjectBase(DocumentPtr document, const xfile::DataObject *object)
        : m_document(std::move(document)), m_object(object) {}

    HRESULT GetName(LPSTR name, LPDWORD size) override {
        if (!size)
            return DXFILEERR_BADVALUE;
        const std::string &text = m_object->name;
        const DWORD needed = static_cast<DWORD>(text.size() + 1);
        if (!name) {
            *size = needed;
            return S_OK;
        }
        if (*size < needed) {
            *size = needed;
            return DXFILEERR_BADVALUE;
        }
        std::memcpy(name, text.c_str(), needed);
        *size = needed;
        return S_OK;
    }

    HRESULT GetId(LPGUID id) override {
        if (!id)
            return DXFILEERR_BADVALUE;
        *id = m_object->id;
        return S_OK;
    }

protected:
    DocumentPtr m_document;
    const xfile::DataObject *m_object;
};

class FileData final : public FileObjectBase<IDirectXFileData> {
public:
    using FileObjectBase::FileObjectBase;

    HRESULT QueryInterface(REFIID iid, void **out) override {
        return AnswerQuery(iid, {IID_IDirectXFileObject, IID_IDirectXFileData}, out);
    }

    HRESULT GetData(LPCSTR member, DWORD *size, void **data) override {
        if (!size || !data)
            return DXFILEERR_BADVALUE;
        *size = 0;
        *data = nullptr;
        xfile::MemberSpan span{0, m_object->data.size()};
        if (member && !m_object->FindMember(member, span))
            return DXFILEERR_NOTFOUND;
        *size = static_cast<DWORD>(span.size);
        *data =
            span.size ? const_cast<std::uint8_t *>(m_object->data.data() + span.offset) : nullptr;
        return S_OK;
    }

    HRESULT GetType(const GUID **type) override {
        if (!type)
            return DXFILEERR_BADVALUE;
        *type = &m_object->type->id;
        return S_OK;
    }

    HRESULT GetNextObject(IDirectXFileObject **child) override;

    const xfile::DataObject *Object() const { return m_object; }

private:
    std::size_t m_nextChild = 0;
};

class FileDataReference final : public FileObjectBase<IDirectXFileDataReference> {
public:
    using FileObjectBase::FileObjectBase;

    HRESULT QueryInterface(REFIID iid, void **out) override {
        return AnswerQuery(iid, {IID_IDirectXFileObject, IID_IDirectXFileDataReference}, out);
    }

    HRESULT Resolve(IDirectXFileData **data) override {
        if (!data)
            return DXFILEERR_BADVALUE;
        *data = new FileData(m_document, m_object);
        return S_OK;
    }
};

HRESULT FileData::GetNextObject(IDirectXFileObject **child) {
    if (!child)
        return DXFILEERR_BADVALUE;
    *child = nullptr;
    if (m_nextChild >= m_object->children.size())
        return DXFILEERR_NOMOREOBJECTS;
    const xfile::Child &next = m_object->children[m_nextChild++];
    if (next.reference)
        *child = new FileDataReference(m_document, next.object);
    else
        *child = new FileData(m_document, next.object);
    return S_OK;
}

class FileEnumObject final : public RefCounted<IDirectXFileEnumObject> {
public:
    explicit FileEnumObject(DocumentPtr document) : m_document(std::move(document)) {}

    HRESULT QueryInterface(REFIID iid, void **out) override {
        return AnswerQuery(iid, {IID_IDirectXFileEnumObject}, out);
    }

    HRESULT GetNextDataObject(IDirectXFileData **data) override {
        if (!data)
            return DXFILEERR_BADVALUE;
        *data = nullptr;
        if (m_next >= m_document->topLevel.size())
            return DXFILEERR_NOMOREOBJECTS;
        *data = new FileData(m_document, m_document->topLevel[m_next++]);
        return S_OK;
    }

    HRESULT GetDataObjectById(REFGUID id, IDirectXFileData **data) override {
        return Find([&](const xfile::DataObject &o) { return o.id == id; }, data);
    }

    HRESULT GetDataObjectByName(LPCSTR name, IDirectXFileData **data) override {
        if (!name)
            return DXFILEERR_BADVALUE;
        return Find([&](const xfile::DataObject &o) { return o.name == name; }, data);
    }

private:
    template <class Match> HRESULT Find(Match match, IDirectXFileData **data) {
        if (!data)
            return DXFILEERR_BADVALUE;
        *data = nullptr;
        for (const xfile::DataObject *object : m_document->topLevel)
            if (match(*object)) {
                *data = new FileData(m_document, object);
                return S_OK;
            }
        return DXFILEERR_NOTFOUND;
    }

    DocumentPtr m_document;
    std::size_t m_next = 0;
};

class DirectXFile final : public RefCounted<IDirectXFile> {
public:
    HRESULT QueryInterface(REFIID iid, void **out) override {
        return AnswerQuery(iid, {IID_IDirectXFile}, out);
    }

    HRESULT RegisterTemplates(LPVOID templates, DWORD size) override {
        if (!templates || size == 0)
            return DXFILEERR_BADVALUE;
        auto block = std::make_shared<xfile::Document>();
        std::string error;
        if (!xfile::ParseXFile({static_cast<const std::uint8_t *>(templates), size}, m_registered,
                               *block, error)) {
            Trace("template block not registered: " + error);
            return DXFILEERR_PARSEERROR;
        }
        m_registered.push_back(std::move(block));
        return S_OK;
    }

    HRESULT CreateEnumObject(LPVOID source, DXFILELOADOPTIONS options,
                             IDirectXFileEnumObject **enumObject) override {
        if (!enumObject)
            return DXFILEERR_BADVALUE;
        *enumObject = nullptr;
        if (!source)
            return DXFILEERR_BADVALUE;

        std::vector<std::uint8_t> owned;
        std::span<const std::uint8_t> bytes;
        switch (options) {
        case DXFILELOAD_FROMFILE: {
            std::string error;
            const char *name = static_cast<const char *>(source);
            if (!image::ReadFileBytes(win32::ResolveFileName(name), owned, error)) {
                Trace(std::string("cannot open ") + name);
                return DXFILEERR_FILENOTFOUND;
            }
            bytes = owned;
            break;
        }
        case DXFILELOAD_FROMRESOURCE: {
            const auto *resource = static_cast<const DXFILELOADRESOURCE *>(source);
            HRSRC found = FindResourceA(resource->hModule, resource->lpName, resource->lpType);
            HGLOBAL loaded = found ? LoadResource(resource->hModule, found) : nullptr;
            const void *data = loaded ? LockResource(loaded) : nullptr;
            if (data) {
                bytes = {static_cast<const std::uint8_t *>(data),
                         SizeofResource(resource->hModule, found)};
                break;
            }
            Trace("resource not found");
            return DXFILEERR_RESOURCENOTFOUND;
        }
        case DXFILELOAD_FROMMEMORY: {
            const auto *memory = static_cast<const DXFILELOADMEMORY *>(source);
            if (!memory->lpMemory)
                return DXFILEERR_BADVALUE;
            bytes = {static_cast<const std::uint8_t *>(memory->lpMemory), memory->dSize};
            break;
        }
        default:
            return DXFILEERR_BADVALUE;
        }

        auto document = std::make_shared<xfile::Document>();
        std::string error;
        if (!xfile::ParseXFile(bytes, m_registered, *document, error)) {
            Trace("cannot read X file: " + error);
            return DXFILEERR_PARSEERROR;
        }
        *enumObject = new FileEnumObject(std::move(document));
        return S_OK;
    }

private:
    std::vector<std::shared_ptr<const xfile::Document>> m_registered;
};

} // namespace

HRESULT DirectXFileCreate(IDirectXFile **file) {
    if (!file)
        return DXFILEERR_BADVALUE;
    *file = nullptr;
    HRESULT code = E_OUTOFMEMORY;
    if (seams::ShouldFail("DirectXFileCreate", &code))
        return code;
    *file = new DirectXFile();
    return S_OK;
}

const xfile::DataObject *dxfile::DataObjectOf(IDirectXFileData *data) {
    const auto *file = dynamic_cast<const FileData *>(data);
    return file ? file->Object() : nullptr;
}
