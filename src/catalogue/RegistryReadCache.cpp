#include "catalogue/RegistryReadCache.h"

#include <cstring>
#include <vector>

namespace quillon {

using namespace platform;

namespace {

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

/// "a\\b", "a\b\" and "A\B" all name the key a\b.
void appendPath(std::string& path, const std::string& subKey)
{
    for (char c : subKey) {
        if (c == '\\') {
            if (!path.empty() && path.back() != '\\') path += c;
            continue;
        }
        path += lowerAscii(c);
    }
    if (!path.empty() && path.back() == '\\') path.pop_back();
}

bool readOnly(DWORD access) { return (access & ~KEY_READ) == 0; }

bool isRoot(HKEY key) { return key >= HKEY_CLASSES_ROOT && key <= HKEY_CURRENT_CONFIG; }

/// Registry value names are at most 16383 characters; a longer one is not copied and is queried from
/// the registry itself.
constexpr DWORD kNameBuffer = 16384;

} // namespace

RegistryReadCache::~RegistryReadCache()
{
    for (auto& [key, open] : open_)
        if (open.own && open.base) base_.RegCloseKey(open.base);
}

RegistryReadCache::OpenKey* RegistryReadCache::find(HKEY key)
{
    const auto it = open_.find(key);
    return it == open_.end() ? nullptr : &it->second;
}

const std::string& RegistryReadCache::lowered(const std::string& name)
{
    scratch_.assign(name);
    for (char& c : scratch_) c = lowerAscii(c);
    return scratch_;
}

LONG RegistryReadCache::RegOpenKeyEx(HKEY root, const std::string& subKey, DWORD options, DWORD access,
                                     HKEY& result)
{
    HKEY baseRoot = root;
    OpenKey* parent = find(root);
    if (parent) {
        LONG status = ERROR_SUCCESS;
        baseRoot = baseHandle(root, *parent, status);
        if (status != ERROR_SUCCESS) return status;
        scratch_ = parent->path;
        scratch_ += '\\';
        appendPath(scratch_, subKey);
    } else if (root == lastRoot_ && subKey == lastSubKey_ && !lastPath_.empty()) {
        scratch_ = lastPath_;
    } else {
        scratch_ = std::to_string(root);
        scratch_ += '\\';
        appendPath(scratch_, subKey);
        lastRoot_ = root;
        lastSubKey_ = subKey;
        lastPath_ = scratch_;
    }

    if (isRoot(root) && readOnly(access)) {
        if (const auto copy = copies_.find(scratch_); copy != copies_.end() && copy->second.made) {
            result = nextOwn_;
            nextOwn_ += 2;
            OpenKey& open = open_[result];
            open.copy = &copy->second;
            open.root = root;
            open.access = access;
            open.own = true;
            return ERROR_SUCCESS;
        }
    }
    const LONG status = base_.RegOpenKeyEx(baseRoot, subKey, options, access, result);
    if (status == ERROR_SUCCESS) {
        OpenKey& open = open_[result] = OpenKey{};
        open.path = scratch_;
        open.access = access;
        open.base = result;
        if (isRoot(root)) {
            Copy& copy = copies_[scratch_];
            if (!copy.made) copy.subKey = subKey; // how handles of this object reopen the key in base
            open.copy = &copy;
        }
    }
    return status;
}

LONG RegistryReadCache::RegCreateKeyEx(HKEY root, const std::string& subKey, DWORD options, DWORD access,
                                       HKEY& result, DWORD* disposition)
{
    HKEY baseRoot = root;
    if (OpenKey* parent = find(root)) {
        LONG status = ERROR_SUCCESS;
        baseRoot = baseHandle(root, *parent, status);
        if (status != ERROR_SUCCESS) return status;
    }
    return base_.RegCreateKeyEx(baseRoot, subKey, options, access, result, disposition);
}

HKEY RegistryReadCache::baseHandle(HKEY key, OpenKey& open, LONG& status)
{
    status = ERROR_SUCCESS;
    if (!open.own) return key;
    if (!open.base) status = base_.RegOpenKeyEx(open.root, open.copy->subKey, 0, open.access, open.base);
    return open.base;
}

LONG RegistryReadCache::RegEnumValue(HKEY key, DWORD index, char* name, DWORD& nameLength, DWORD* type,
                                     unsigned char* data, DWORD* dataSize)
{
    OpenKey* open = find(key);
    if (!open) return base_.RegEnumValue(key, index, name, nameLength, type, data, dataSize);
    LONG status = ERROR_SUCCESS;
    const HKEY handle = baseHandle(key, *open, status);
    if (status != ERROR_SUCCESS) return status;
    return base_.RegEnumValue(handle, index, name, nameLength, type, data, dataSize);
}

RegistryReadCache::Copy& RegistryReadCache::copyOf(OpenKey& open)
{
    Copy& copy = open.copy ? *open.copy : copies_[open.path];
    open.copy = &copy;
    if (copy.made) return copy;
    copy.made = true;
    // Read through the oldest handle to the key (the one being enumerated, as a rule): the registry has
    // already gathered that handle's values.
    HKEY source = open.base;
    for (const auto& [key, other] : open_)
        if (!other.own && other.path == open.path) {
            source = key;
            break;
        }
    std::vector<char> name(kNameBuffer);
    std::vector<unsigned char> data;
    for (DWORD i = 0;; ++i) {
        DWORD nameLength = kNameBuffer;
        DWORD type = REG_NONE;
        DWORD size = 0;
        LONG status = base_.RegEnumValue(source, i, name.data(), nameLength, &type, nullptr, &size);
        if (status == ERROR_MORE_DATA) continue; // a name too long to copy
        if (status != ERROR_SUCCESS) break;
        std::string valueName(name.data(), nameLength);
        for (char& c : valueName) c = lowerAscii(c);
        data.resize(size);
        DWORD read = size;
        nameLength = kNameBuffer;
        status = base_.RegEnumValue(source, i, name.data(), nameLength, &type, data.data(), &read);
        if (status != ERROR_SUCCESS) continue;
        copy.values.try_emplace(std::move(valueName),
                                Value{type, std::string(reinterpret_cast<const char*>(data.data()), read)});
    }
    return copy;
}

LONG RegistryReadCache::RegQueryValueEx(HKEY key, const std::string& name, DWORD* type, unsigned char* data,
                                        DWORD* dataSize)
{
    OpenKey* open = find(key);
    if (!open) return base_.RegQueryValueEx(key, name, type, data, dataSize);
    if (!(open->access & KEY_QUERY_VALUE)) return ERROR_ACCESS_DENIED;
    const Copy& copy = copyOf(*open);
    const auto found = copy.values.find(lowered(name));
    if (found == copy.values.end()) {
        // Not in the copy (a name too long to copy, or none such): the registry itself answers.
        LONG status = ERROR_SUCCESS;
        const HKEY handle = baseHandle(key, *open, status);
        if (status != ERROR_SUCCESS) return status;
        return base_.RegQueryValueEx(handle, name, type, data, dataSize);
    }

    const Value& value = found->second;
    if (type) *type = value.type;
    const auto size = static_cast<DWORD>(value.data.size());
    if (data) {
        if (!dataSize) return ERROR_INVALID_PARAMETER;
        if (*dataSize < size) {
            *dataSize = size;
            return ERROR_MORE_DATA;
        }
        std::memcpy(data, value.data.data(), value.data.size());
    }
    if (dataSize) *dataSize = size;
    return ERROR_SUCCESS;
}

LONG RegistryReadCache::RegSetValueEx(HKEY key, const std::string& name, DWORD type,
                                      const unsigned char* data, DWORD size)
{
    OpenKey* open = find(key);
    if (!open) return base_.RegSetValueEx(key, name, type, data, size);
    if (open->own) return ERROR_ACCESS_DENIED; // opened for reading only
    Copy& copy = copies_[open->path];
    copy.made = false;
    copy.values.clear();
    return base_.RegSetValueEx(key, name, type, data, size);
}

LONG RegistryReadCache::RegDeleteValue(HKEY key, const std::string& name)
{
    OpenKey* open = find(key);
    if (!open) return base_.RegDeleteValue(key, name);
    if (open->own) return ERROR_ACCESS_DENIED; // opened for reading only
    Copy& copy = copies_[open->path];
    copy.made = false;
    copy.values.clear();
    return base_.RegDeleteValue(key, name);
}

LONG RegistryReadCache::RegCloseKey(HKEY key)
{
    const auto it = open_.find(key);
    if (it == open_.end()) return base_.RegCloseKey(key);
    const bool own = it->second.own;
    const HKEY base = it->second.base;
    open_.erase(it);
    if (!own) return base_.RegCloseKey(key);
    if (base) base_.RegCloseKey(base);
    return ERROR_SUCCESS;
}

} // namespace quillon
