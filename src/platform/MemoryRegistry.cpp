#include "platform/MemoryRegistry.h"

#include <algorithm>
#include <cstring>

namespace quillon::platform {

namespace {

std::string lowerAscii(std::string s)
{
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

std::vector<std::string> splitPath(const std::string& path)
{
    std::vector<std::string> parts;
    std::string part;
    for (char c : path) {
        if (c == '\\') {
            if (!part.empty()) parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    if (!part.empty()) parts.push_back(part);
    return parts;
}

bool isRoot(HKEY key)
{
    return key == HKEY_CLASSES_ROOT || key == HKEY_CURRENT_USER || key == HKEY_LOCAL_MACHINE ||
           key == HKEY_USERS || key == HKEY_CURRENT_CONFIG;
}

} // namespace

struct MemoryRegistry::Node {
    std::map<std::string, std::unique_ptr<Node>> children; // by lower-cased name
    std::vector<RegistryValue> values;                     // in the order first written
    std::unique_ptr<RegistryView> view;
};

MemoryRegistry::MemoryRegistry() = default;
MemoryRegistry::~MemoryRegistry() = default;

void MemoryRegistry::mount(HKEY root, const std::string& path, std::unique_ptr<RegistryView> view)
{
    if (Node* node = find(root, path, true, nullptr)) node->view = std::move(view);
}

MemoryRegistry::Node* MemoryRegistry::find(HKEY root, const std::string& path, bool create, bool* created)
{
    if (created) *created = false;
    Node* node = nullptr;
    if (isRoot(root)) {
        auto& slot = roots_[root];
        if (!slot) slot = std::make_unique<Node>();
        node = slot.get();
    } else if (Handle* h = handle(root)) {
        node = h->node;
    } else {
        return nullptr;
    }
    for (const std::string& part : splitPath(path)) {
        auto& child = node->children[lowerAscii(part)];
        if (!child) {
            if (!create) {
                node->children.erase(lowerAscii(part));
                return nullptr;
            }
            child = std::make_unique<Node>();
            if (created) *created = true;
        }
        node = child.get();
    }
    return node;
}

MemoryRegistry::Handle* MemoryRegistry::handle(HKEY key)
{
    auto it = handles_.find(key);
    return it == handles_.end() ? nullptr : &it->second;
}

HKEY MemoryRegistry::newHandle(Node* node, DWORD access)
{
    HKEY key = nextHandle_;
    nextHandle_ += 4;
    handles_[key] = Handle{node, access, false, {}};
    return key;
}

const std::vector<RegistryValue>& MemoryRegistry::valuesOf(Handle& h)
{
    if (!h.node->view) return h.node->values;
    if (!h.snapshotTaken) {
        h.snapshot = h.node->view->values();
        h.snapshotTaken = true;
    }
    return h.snapshot;
}

LONG MemoryRegistry::RegOpenKeyEx(HKEY root, const std::string& subKey, DWORD, DWORD access, HKEY& result)
{
    Node* node = find(root, subKey, false, nullptr);
    if (!node) return ERROR_FILE_NOT_FOUND;
    if ((access & KEY_SET_VALUE) && node->view && !node->view->writable()) return ERROR_ACCESS_DENIED;
    result = newHandle(node, access);
    return ERROR_SUCCESS;
}

LONG MemoryRegistry::RegCreateKeyEx(HKEY root, const std::string& subKey, DWORD, DWORD access, HKEY& result,
                                    DWORD* disposition)
{
    bool created = false;
    Node* node = find(root, subKey, true, &created);
    if (!node) return ERROR_INVALID_HANDLE;
    if ((access & KEY_SET_VALUE) && node->view && !node->view->writable()) return ERROR_ACCESS_DENIED;
    if (disposition) *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    result = newHandle(node, access);
    return ERROR_SUCCESS;
}

LONG MemoryRegistry::RegEnumValue(HKEY key, DWORD index, char* name, DWORD& nameLength, DWORD* type,
                                  unsigned char* data, DWORD* dataSize)
{
    Handle* h = handle(key);
    if (!h) return ERROR_INVALID_HANDLE;
    const auto& values = valuesOf(*h);
    if (index >= values.size()) return ERROR_NO_MORE_ITEMS;
    const RegistryValue& v = values[index];
    if (!name || v.name.size() + 1 > nameLength) return ERROR_MORE_DATA;
    std::memcpy(name, v.name.data(), v.name.size());
    name[v.name.size()] = '\0';
    nameLength = static_cast<DWORD>(v.name.size());
    if (type) *type = v.type;
    if (dataSize) {
        const auto size = static_cast<DWORD>(v.data.size());
        if (data) {
            if (*dataSize < size) {
                *dataSize = size;
                return ERROR_MORE_DATA;
            }
            std::memcpy(data, v.data.data(), v.data.size());
        }
        *dataSize = size;
    }
    return ERROR_SUCCESS;
}

LONG MemoryRegistry::RegQueryValueEx(HKEY key, const std::string& name, DWORD* type, unsigned char* data,
                                     DWORD* dataSize)
{
    Handle* h = handle(key);
    if (!h) return ERROR_INVALID_HANDLE;
    if (!(h->access & KEY_QUERY_VALUE)) return ERROR_ACCESS_DENIED;
    const auto& values = valuesOf(*h);
    const std::string wanted = lowerAscii(name);
    auto it = std::find_if(values.begin(), values.end(),
                           [&](const RegistryValue& v) { return lowerAscii(v.name) == wanted; });
    if (it == values.end()) return ERROR_FILE_NOT_FOUND;
    if (type) *type = it->type;
    const auto size = static_cast<DWORD>(it->data.size());
    if (data) {
        if (!dataSize) return ERROR_INVALID_PARAMETER;
        if (*dataSize < size) {
            *dataSize = size;
            return ERROR_MORE_DATA;
        }
        std::memcpy(data, it->data.data(), it->data.size());
    }
    if (dataSize) *dataSize = size;
    return ERROR_SUCCESS;
}

LONG MemoryRegistry::noteProblem(const RegistryView& view, LONG status)
{
    if (status != ERROR_SUCCESS) writeProblem_ = view.problem();
    return status;
}

LONG MemoryRegistry::RegSetValueEx(HKEY key, const std::string& name, DWORD type, const unsigned char* data,
                                   DWORD size)
{
    Handle* h = handle(key);
    if (!h) return ERROR_INVALID_HANDLE;
    if (!(h->access & KEY_SET_VALUE)) return ERROR_ACCESS_DENIED;
    if (size > 0 && !data) return ERROR_INVALID_PARAMETER;
    RegistryValue value{name, type, std::string(reinterpret_cast<const char*>(data), size)};
    if (h->node->view) {
        h->snapshotTaken = false; // the next read through this handle sees the write
        return noteProblem(*h->node->view,
                           h->node->view->writable() ? h->node->view->setValue(value) : ERROR_ACCESS_DENIED);
    }
    auto& values = h->node->values;
    const std::string wanted = lowerAscii(name);
    auto it = std::find_if(values.begin(), values.end(),
                           [&](const RegistryValue& v) { return lowerAscii(v.name) == wanted; });
    if (it == values.end())
        values.push_back(std::move(value));
    else
        *it = std::move(value);
    return ERROR_SUCCESS;
}

LONG MemoryRegistry::RegDeleteValue(HKEY key, const std::string& name)
{
    Handle* h = handle(key);
    if (!h) return ERROR_INVALID_HANDLE;
    if (!(h->access & KEY_SET_VALUE)) return ERROR_ACCESS_DENIED;
    if (h->node->view) {
        h->snapshotTaken = false;
        return noteProblem(*h->node->view, h->node->view->writable() ? h->node->view->deleteValue(name)
                                                                     : ERROR_ACCESS_DENIED);
    }
    auto& values = h->node->values;
    const std::string wanted = lowerAscii(name);
    const auto it = std::find_if(values.begin(), values.end(),
                                 [&](const RegistryValue& v) { return lowerAscii(v.name) == wanted; });
    if (it == values.end()) return ERROR_FILE_NOT_FOUND;
    values.erase(it);
    return ERROR_SUCCESS;
}

LONG MemoryRegistry::RegCloseKey(HKEY key)
{
    return handles_.erase(key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

} // namespace quillon::platform
