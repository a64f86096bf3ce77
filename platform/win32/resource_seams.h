// Test seams of module resources: resources a test adds to the program's module.
#pragma once

#include "platform/win32/types.h"

#include <string>
#include <vector>

namespace seams {

// Adds a resource that FindResourceA(NULL or any module, name, type) then finds. Removed by
// ClearModuleResources and by ResetAll.
void AddModuleResource(const std::string &name, const std::string &type, std::vector<BYTE> bytes);
void ClearModuleResources();

} // namespace seams
