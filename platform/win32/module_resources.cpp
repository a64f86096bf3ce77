// Module resources: an empty table for the program, filled only by tests.
#include "platform/win32/resources.h"

#include "platform/seams/failure_injection.h"
#include "platform/win32/resource_seams.h"

#include <algorithm>
#include <cctype>
#include <list>
#include <mutex>
#include <string>

namespace {

struct Resource {
    std::string name;
    std::string type;
    std::vector<BYTE> bytes;
};

struct Table {
    std::mutex mutex;
    // A list, so that handles to entries stay valid while others are added.
    std::list<Resource> resources;
};

Table &Resources() {
    static Table table;
    static const bool registered = [] {
        seams::RegisterReset([] { seams::ClearModuleResources(); });
        return true;
    }();
    (void)registered;
    return table;
}

// Integer identifiers are written "#n", the way they are named in text. Built front to back: a
// literal prepended to a temporary string shifts it, and optimised builds warn of overlapping
// copies.
std::string Key(LPCSTR name) {
    if (IS_INTRESOURCE(name)) {
        std::string key(1, '#');
        key += std::to_string(reinterpret_cast<std::uintptr_t>(name));
        return key;
    }
    std::string key(name);
    std::transform(key.begin(), key.end(), key.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return key;
}

Resource *FromHandle(HRSRC resource) {
    auto &table = Resources();
    std::lock_guard lock(table.mutex);
    for (Resource &entry : table.resources)
        if (reinterpret_cast<HRSRC>(&entry) == resource)
            return &entry;
    return nullptr;
}

} // namespace

HRSRC FindResourceA(HMODULE /*module*/, LPCSTR name, LPCSTR type) {
    if (!name || !type)
        return nullptr;
    const std::string wantedName = Key(name);
    const std::string wantedType = Key(type);
    auto &table = Resources();
    std::lock_guard lock(table.mutex);
    for (Resource &entry : table.resources)
        if (entry.name == wantedName && entry.type == wantedType)
            return reinterpret_cast<HRSRC>(&entry);
    return nullptr;
}

HGLOBAL LoadResource(HMODULE /*module*/, HRSRC resource) {
    Resource *entry = FromHandle(resource);
    if (!entry || seams::ShouldFail("LoadResource"))
        return nullptr;
    return static_cast<HGLOBAL>(entry);
}

DWORD SizeofResource(HMODULE /*module*/, HRSRC resource) {
    Resource *entry = FromHandle(resource);
    if (!entry || seams::ShouldFail("SizeofResource"))
        return 0;
    return static_cast<DWORD>(entry->bytes.size());
}

LPVOID LockResource(HGLOBAL loaded) {
    Resource *entry = FromHandle(static_cast<HRSRC>(loaded));
    if (!entry || seams::ShouldFail("LockResource"))
        return nullptr;
    return entry->bytes.data();
}

namespace seams {

void AddModuleResource(const std::string &name, const std::string &type, std::vector<BYTE> bytes) {
    auto &table = Resources();
    std::lock_guard lock(table.mutex);
    table.resources.push_back(Resource{Key(name.c_str()), Key(type.c_str()), std::move(bytes)});
}

void ClearModuleResources() {
    auto &table = Resources();
    std::lock_guard lock(table.mutex);
    table.resources.clear();
}

} // namespace seams
