// The registry calls over the in-memory keys of registry_store.h and the files of
// registry_file.cpp. Each root's file is read on first use. Changes are written when a key
// through which something changed is closed: the program opens its key, sets a batch of values
// and closes it, so one atomic save per batch keeps the disk work small while every closed batch
// is safe on disk. Changes made through a key that is never closed are not written: nothing is
// saved from exit handlers, where the rest of the layer may already be gone.
#include "platform/win32/registry.h"

#include "platform/seams/failure_injection.h"
#include "platform/win32/registry_disk.h"
#include "platform/win32/registry_file.h"
#include "platform/win32/registry_seams.h"

#include <cstring>
#include <memory>
#include <mutex>
#include <set>
#include <string_view>
#include <vector>

namespace {

using win32::registry::Hive;
using win32::registry::Key;

struct HiveState {
    bool loaded = false;
    // The file is damaged and still in place: a copy is kept before a save replaces it.
    bool damagedInPlace = false;
    // Keys changed since the hive was loaded or last saved.
    std::set<std::string> unsaved;
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

HiveState &hiveState(Registry &r, bool localMachine, std::string_view keyInUse) {
    HiveState &state = r.hives[localMachine ? 1 : 0];
    if (!state.loaded) {
        auto loaded =
            win32::registry::LoadHiveFile(win32::registry::HiveFilePath(localMachine), keyInUse);
        state = HiveState{true, loaded.damagedInPlace, {}, std::move(loaded.hive)};
    }
    return state;
}

// The keys of a root that the program uses: those it holds open and those with changes not
// saved yet.
std::vector<std::string> keysInUse(const Registry &r, const HiveState &state, bool localMachine) {
    std::vector<std::string> paths(state.unsaved.begin(), state.unsaved.end());
    for (const OpenKey *key : r.open)
        if (key->localMachine == localMachine)
            paths.push_back(key->path);
    return paths;
}

// The keys of `hive` that hold values, for the trace: key "A", "B".
std::string keyList(const Hive &hive) {
    std::string list;
    for (const auto &[lower, key] : hive.Keys())
        if (!key.Values().empty())
            list += (list.empty() ? "key \"" : ", \"") + key.Path() + "\"";
    return list;
}

// A store filled to its limits (a hand-made file can be) leaves no room for the program's own
// keys and values. The keys in use stay and the rest is set aside: the file as it is on disk is
// kept as ".damaged-N" first, and the next save writes the smaller store over it. Without
// `keepInUse` the program goes on in a clean store, which is done only when nothing is waiting to
// be saved. False, with the reason traced, when that makes no room or cannot be done.
bool makeRoom(Registry &r, HiveState &state, bool localMachine, const std::string &wanted,
              bool keepInUse) {
    const std::string file = win32::registry::HiveFilePath(localMachine);
    const std::string noRoom =
        "no room for " + wanted + " in " + file + " (" + win32::registry::LimitsText() + ")";
    if (!keepInUse && !state.unsaved.empty()) {
        win32::registry::Trace(noRoom + ", which holds changes not saved yet");
        return false;
    }
    Hive kept = keepInUse
                    ? win32::registry::KeptKeys(state.hive, win32::registry::KeysAtOrBelow(
                                                                keysInUse(r, state, localMachine)))
                    : Hive{};
    if (kept.Keys().size() == state.hive.Keys().size() &&
        kept.ValueCount() == state.hive.ValueCount())
        return false; // everything is in use
    std::string why;
    const std::string aside = win32::registry::KeepDamagedCopy(file, &why);
    if (aside.empty() && !why.empty()) {
        win32::registry::Trace(noRoom + ", and no copy of it could be kept (" + why + ")");
        return false;
    }
    win32::registry::Trace(
        file + " is full (" + win32::registry::LimitsText() + ") and has no room for " + wanted +
        (kept.ValueCount() == 0 ? "; started a clean store"
                                : "; kept " + keyList(kept) + ", set aside the rest") +
        (aside.empty() ? "" : "; the whole file is kept as " + aside));
    state.hive = std::move(kept);
    state.damagedInPlace = false;
    return true;
}

// Runs `attempt` (which says whether it found room), making room and running it again when not.
template <class Attempt>
bool withRoom(Registry &r, HiveState &state, bool localMachine, const std::string &wanted,
              Attempt attempt) {
    if (attempt())
        return true;
    for (bool keepInUse : {true, false})
        if (makeRoom(r, state, localMachine, wanted, keepInUse) && attempt())
            return true;
    return false;
}

// Writes the hive over its file, keeping first a copy of a damaged file that is still in place.
bool save(HiveState &state, bool localMachine) {
    const std::string file = win32::registry::HiveFilePath(localMachine);
    if (state.damagedInPlace) {
        std::string why;
        const std::string aside = win32::registry::KeepDamagedCopy(file, &why);
        state.damagedInPlace = aside.empty() && !why.empty();
        if (!aside.empty())
            win32::registry::Trace("the damaged " + file + " is kept as " + aside +
                                   " before it is replaced");
        else if (!why.empty())
            win32::registry::Trace("no copy of the damaged " + file + " could be kept (" + why +
                                   "); the values that were intact replace it");
    }
    if (!win32::registry::SaveHiveFile(file, state.hive))
        return false;
    state.damagedInPlace = false;
    state.unsaved.clear();
    return true;
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
    HiveState &state = hiveState(r, localMachine, *path);
    const bool isRoot = path->empty();
    Key *key = isRoot ? nullptr : state.hive.Find(*path);
    bool created = false;
    if (!key && !isRoot) {
        if (!create)
            return ERROR_FILE_NOT_FOUND;
        if (!withRoom(r, state, localMachine, "key \"" + *path + "\"", [&] {
                key = state.hive.Create(*path, &created);
                return key != nullptr;
            }))
            return ERROR_NOT_ENOUGH_MEMORY;
        state.unsaved.insert(key->Path());
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
    Key *stored = hiveState(r, localMachine, path).hive.Find(path);
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
    HiveState &state = hiveState(r, localMachine, path);
    auto result = Hive::SetResult::Refused;
    withRoom(r, state, localMachine, "value \"" + valueName + "\" of key \"" + path + "\"", [&] {
        // The key reappears if a reload or a clean store dropped it.
        Key *stored = state.hive.Create(path, nullptr);
        result = stored ? state.hive.SetValue(*stored, valueName, type,
                                              std::vector<BYTE>(data, data + size))
                        : Hive::SetResult::Refused;
        return result != Hive::SetResult::Refused;
    });
    switch (result) {
    case Hive::SetResult::Refused:
        return ERROR_NOT_ENOUGH_MEMORY;
    case Hive::SetResult::Changed:
        state.unsaved.insert(path);
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
    if (!object->changed || !state.loaded || state.unsaved.empty())
        return ERROR_SUCCESS;
    return save(state, object->localMachine) ? ERROR_SUCCESS : ERROR_CANTWRITE;
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
