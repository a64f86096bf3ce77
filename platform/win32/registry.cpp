// The registry calls over the in-memory keys of registry_store.h and the files of
// registry_file.cpp. Each root's file is read on first use. Changes are written when a key
// through which something changed is closed: the program opens its key, sets a batch of values
// and closes it, so one atomic save per batch keeps the disk work small while every closed batch
// is safe on disk. Changes made through a key that is never closed are not written: nothing is
// saved from exit handlers, where the rest of the layer may already be gone.
#include "platform/win32/registry.h"

#include "platform/seams/failure_injection.h"
#include "platform/win32/registry_file.h"
#include "platform/win32/registry_seams.h"

#include <cstring>
#include <memory>
#include <mutex>
#include <set>

namespace {

using win32::registry::Hive;
using win32::registry::Key;

struct HiveState {
    bool loaded = false;
    bool dirty = false;
    Hive hive;
};

// What an HKEY of ours points to. The predefined roots are not objects; they are recognised by
// value.
struct OpenKey {
    bool localMachine;
    std::string path;
    REGSAM access;
    bool changed = false;
};

struct Registry {
    std::mutex lock;
    HiveState hives[2]; // current user, local machine
    std::set<OpenKey *> open;

    ~Registry() {
        for (OpenKey *key : open)
            delete key;
    }
};

Registry &registry() {
    static Registry r;
    return r;
}

std::string limitsText() {
    return "a store holds at most " + std::to_string(win32::registry::kMaxKeys) + " keys and " +
           std::to_string(win32::registry::kMaxValues) + " values";
}

// A store filled to its limits (a hand-made file can be) leaves no room for the program's own
// keys and values, and would stop it from ever saving them. When nothing is waiting to be saved,
// memory holds what the file holds: the whole file is set aside, so nothing in it is lost, and
// the program goes on in a clean store. False, with the reason traced, when that cannot be done.
bool startCleanStore(HiveState &state, bool localMachine, const std::string &wanted) {
    const std::string file = win32::registry::HiveFilePath(localMachine);
    if (state.dirty) {
        win32::registry::Trace("no room for " + wanted + " in " + file + " (" + limitsText() +
                               "), which holds changes not saved yet");
        return false;
    }
    const std::string aside = win32::registry::SetAsideHiveFile(file);
    if (aside.empty()) {
        win32::registry::Trace("no room for " + wanted + " in " + file + " (" + limitsText() +
                               "), which could not be moved aside");
        return false;
    }
    win32::registry::Trace(file + " is full (" + limitsText() + ") and has no room for " + wanted +
                           "; moved it to " + aside + " and started a clean store");
    state.hive = Hive{};
    return true;
}

HiveState &hiveState(Registry &r, bool localMachine) {
    HiveState &state = r.hives[localMachine ? 1 : 0];
    if (!state.loaded) {
        state.hive = win32::registry::LoadHiveFile(win32::registry::HiveFilePath(localMachine));
        state.loaded = true;
        state.dirty = false;
    }
    return state;
}

// The root and path a handle stands for; false for anything that is not a key we handed out.
bool resolveHandle(Registry &r, HKEY key, bool *localMachine, std::string *path, OpenKey **object) {
    *object = nullptr;
    if (key == HKEY_CURRENT_USER || key == HKEY_LOCAL_MACHINE) {
        *localMachine = key == HKEY_LOCAL_MACHINE;
        path->clear();
        return true;
    }
    auto *candidate = reinterpret_cast<OpenKey *>(key);
    if (!r.open.contains(candidate))
        return false;
    *localMachine = candidate->localMachine;
    *path = candidate->path;
    *object = candidate;
    return true;
}

HKEY handOut(Registry &r, bool localMachine, std::string path, REGSAM access, bool changed) {
    auto *key = new OpenKey{localMachine, std::move(path), access, changed};
    r.open.insert(key);
    return reinterpret_cast<HKEY>(key);
}

LONG openOrCreate(HKEY parent, LPCSTR subKey, REGSAM access, PHKEY result, LPDWORD disposition,
                  bool create) {
    if (!result)
        return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    if (!subKey)
        return create ? ERROR_BAD_PATHNAME : ERROR_INVALID_PARAMETER;
    Registry &r = registry();
    std::lock_guard guard(r.lock);
    bool localMachine = false;
    std::string parentPath;
    OpenKey *parentObject = nullptr;
    if (!resolveHandle(r, parent, &localMachine, &parentPath, &parentObject))
        return ERROR_INVALID_HANDLE;
    const auto path = win32::registry::JoinKeyPath(parentPath, subKey);
    if (!path)
        return ERROR_BAD_PATHNAME;
    HiveState &state = hiveState(r, localMachine);
    const bool isRoot = path->empty();
    Key *key = isRoot ? nullptr : state.hive.Find(*path);
    bool created = false;
    if (!key && !isRoot) {
        if (!create)
            return ERROR_FILE_NOT_FOUND;
        key = state.hive.Create(*path, &created);
        if (!key && startCleanStore(state, localMachine, "key \"" + *path + "\""))
            key = state.hive.Create(*path, &created);
        if (!key)
            return ERROR_NOT_ENOUGH_MEMORY;
        state.dirty = true;
    }
    if (disposition)
        *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    // Keep the stored spelling of the key so that every handle to it agrees.
    *result = handOut(r, localMachine, key ? key->Path() : std::string(), access, created);
    return ERROR_SUCCESS;
}

} // namespace

LONG RegCreateKeyExA(HKEY parent, LPCSTR subKey, DWORD /*reserved*/, LPSTR /*keyClass*/,
                     DWORD /*options*/, REGSAM access, LPVOID /*security*/, PHKEY result,
                     LPDWORD disposition) {
    HRESULT injected = S_OK;
    if (seams::ShouldFail("RegCreateKeyExA", &injected)) {
        if (result)
            *result = nullptr;
        return injected != 0 ? static_cast<LONG>(injected) : ERROR_ACCESS_DENIED;
    }
    return openOrCreate(parent, subKey, access, result, disposition, true);
}

LONG RegOpenKeyExA(HKEY parent, LPCSTR subKey, DWORD /*options*/, REGSAM access, PHKEY result) {
    // A NULL sub-key opens the parent itself.
    return openOrCreate(parent, subKey ? subKey : "", access, result, nullptr, false);
}

LONG RegQueryValueExA(HKEY key, LPCSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data,
                      LPDWORD size) {
    if (reserved || (data && !size))
        return ERROR_INVALID_PARAMETER;
    Registry &r = registry();
    std::lock_guard guard(r.lock);
    bool localMachine = false;
    std::string path;
    OpenKey *object = nullptr;
    if (!resolveHandle(r, key, &localMachine, &path, &object))
        return ERROR_INVALID_HANDLE;
    if (object && !(object->access & KEY_QUERY_VALUE))
        return ERROR_ACCESS_DENIED;
    Key *stored = hiveState(r, localMachine).hive.Find(path);
    const win32::registry::Value *value = stored ? stored->Find(name ? name : "") : nullptr;
    if (!value)
        return ERROR_FILE_NOT_FOUND;
    if (type)
        *type = value->type;
    const auto storedSize = static_cast<DWORD>(value->data.size());
    if (data) {
        if (storedSize > *size) {
            *size = storedSize;
            return ERROR_MORE_DATA;
        }
        if (storedSize > 0)
            std::memcpy(data, value->data.data(), storedSize);
    }
    if (size)
        *size = storedSize;
    return ERROR_SUCCESS;
}

LONG RegSetValueExA(HKEY key, LPCSTR name, DWORD /*reserved*/, DWORD type, const BYTE *data,
                    DWORD size) {
    if ((!data && size > 0) || size > win32::registry::kMaxValueBytes)
        return ERROR_INVALID_PARAMETER;
    const std::string valueName = name ? name : "";
    if (valueName.size() > win32::registry::kMaxNameLength)
        return ERROR_INVALID_PARAMETER;
    Registry &r = registry();
    std::lock_guard guard(r.lock);
    bool localMachine = false;
    std::string path;
    OpenKey *object = nullptr;
    if (!resolveHandle(r, key, &localMachine, &path, &object))
        return ERROR_INVALID_HANDLE;
    // Values belong to keys below the roots.
    if (!object || object->path.empty())
        return ERROR_ACCESS_DENIED;
    if (!(object->access & KEY_SET_VALUE))
        return ERROR_ACCESS_DENIED;
    HiveState &state = hiveState(r, localMachine);
    Key *stored = state.hive.Create(path, nullptr); // reappears if a reload dropped it
    std::vector<BYTE> bytes(data, data + size);
    auto result =
        stored ? state.hive.SetValue(*stored, valueName, type, bytes) : Hive::SetResult::Refused;
    if (result == Hive::SetResult::Refused &&
        startCleanStore(state, localMachine,
                        "value \"" + valueName + "\" of key \"" + path + "\"")) {
        stored = state.hive.Create(path, nullptr);
        result = state.hive.SetValue(*stored, valueName, type, std::move(bytes));
    }
    switch (result) {
    case Hive::SetResult::Refused:
        return ERROR_NOT_ENOUGH_MEMORY;
    case Hive::SetResult::Changed:
        state.dirty = true;
        object->changed = true;
        break;
    case Hive::SetResult::Unchanged:
        break;
    }
    return ERROR_SUCCESS;
}

LONG RegCloseKey(HKEY key) {
    if (key == HKEY_CURRENT_USER || key == HKEY_LOCAL_MACHINE)
        return ERROR_SUCCESS;
    Registry &r = registry();
    std::lock_guard guard(r.lock);
    auto *object = reinterpret_cast<OpenKey *>(key);
    if (!r.open.contains(object))
        return ERROR_INVALID_HANDLE;
    r.open.erase(object);
    std::unique_ptr<OpenKey> closing(object);
    HiveState &state = r.hives[object->localMachine ? 1 : 0];
    if (!object->changed || !state.loaded || !state.dirty)
        return ERROR_SUCCESS;
    if (!win32::registry::SaveHiveFile(win32::registry::HiveFilePath(object->localMachine),
                                       state.hive))
        return ERROR_CANTWRITE;
    state.dirty = false;
    return ERROR_SUCCESS;
}

namespace seams {

namespace {
void forgetLoadedKeys() {
    Registry &r = registry();
    std::lock_guard guard(r.lock);
    for (HiveState &state : r.hives)
        state = HiveState{};
}

void registerResetOnce() {
    static std::once_flag once;
    std::call_once(once, [] {
        seams::RegisterReset([] {
            win32::registry::SetStoreFolderOverride({});
            forgetLoadedKeys();
        });
    });
}
} // namespace

void UseRegistryRoot(const std::string &folder) {
    registerResetOnce();
    win32::registry::SetStoreFolderOverride(folder);
    forgetLoadedKeys();
}

void UseDefaultRegistryRoot() {
    win32::registry::SetStoreFolderOverride({});
    forgetLoadedKeys();
}

void ReloadRegistry() {
    forgetLoadedKeys();
}

std::string RegistryFilePath(HKEY root) {
    return win32::registry::HiveFilePath(root == HKEY_LOCAL_MACHINE);
}

} // namespace seams
