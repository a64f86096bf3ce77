// ID3DXBuffer: a reference-counted block of bytes, zero-filled at creation.
#include "platform/d3dx/d3dx8.h"

#include <new>
#include <vector>

namespace {

class DataBuffer final : public RefCounted<ID3DXBuffer> {
public:
    explicit DataBuffer(DWORD size) : m_bytes(size) {}

    HRESULT QueryInterface(REFIID iid, void **out) override {
        return AnswerQuery(iid, {IID_ID3DXBuffer}, out);
    }
    LPVOID GetBufferPointer() override { return m_bytes.empty() ? nullptr : m_bytes.data(); }
    DWORD GetBufferSize() override { return static_cast<DWORD>(m_bytes.size()); }

private:
    std::vector<unsigned char> m_bytes;
};

} // namespace

HRESULT D3DXCreateBuffer(DWORD size, ID3DXBuffer **buffer) {
    if (!buffer)
        return D3DERR_INVALIDCALL;
    *buffer = new (std::nothrow) DataBuffer(size);
    return *buffer ? S_OK : E_OUTOFMEMORY;
}
