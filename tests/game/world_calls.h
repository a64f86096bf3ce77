// Reading the device call log of the world-object tests: which mesh subsets were drawn, in order.
#pragma once

#include "platform/d3dx/d3dx8.h"
#include "platform/test_seams.h"

#include <cstdio>
#include <string>
#include <vector>

namespace world_test {

// The subsets of `mesh` that the logged indexed draws drew, in order (-1 for a draw of another
// mesh's range).
inline std::vector<int> SubsetsDrawn(ID3DXMesh *mesh) {
    DWORD count = 0;
    mesh->GetAttributeTable(nullptr, &count);
    std::vector<D3DXATTRIBUTERANGE> table(count);
    mesh->GetAttributeTable(table.data(), &count);
    std::vector<int> subsets;
    for (const std::string &call : seams::DeviceCallTexts()) {
        unsigned type, minIndex, vertices, start, primitives;
        if (std::sscanf(call.c_str(), "DrawIndexedPrimitive(%u, %u, %u, %u, %u)", &type, &minIndex,
                        &vertices, &start, &primitives) != 5)
            continue;
        int id = -1;
        for (const D3DXATTRIBUTERANGE &range : table)
            if (range.FaceStart * 3 == start)
                id = static_cast<int>(range.AttribId);
        subsets.push_back(id);
    }
    return subsets;
}

inline int CountCalls(const std::string &prefix) {
    int n = 0;
    for (const std::string &call : seams::DeviceCallTexts())
        n += call.rfind(prefix, 0) == 0;
    return n;
}

inline bool Logged(const std::string &text) {
    for (const std::string &call : seams::DeviceCallTexts())
        if (call == text)
            return true;
    return false;
}

} // namespace world_test
