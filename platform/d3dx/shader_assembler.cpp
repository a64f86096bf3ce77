// Vertex shader assembly. The device runs the fixed-function pipeline only (its caps report no
// vertex shader version), so there is nothing to assemble for: the call fails honestly.
#include "platform/d3dx/d3dx8.h"
#include "platform/win32/debug_output.h"

#include <string>

HRESULT D3DXAssembleShaderFromFileA(LPCSTR file, DWORD, ID3DXBuffer **constants, ID3DXBuffer **code,
                                    ID3DXBuffer **errors) {
    for (ID3DXBuffer **out : {constants, code, errors})
        if (out)
            *out = nullptr;
    OutputDebugStringA((std::string("D3DX: vertex shaders are not supported; \"") +
                        (file ? file : "(null)") + "\" not assembled\n")
                           .c_str());
    return D3DERR_NOTAVAILABLE;
}
