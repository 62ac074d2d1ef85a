#pragma once
// A registry held in memory for the life of the process, with live views mounted at chosen keys. The
// Linux platform mounts its views of the machine here; tests use it bare or with fake views.

#include "platform/Registry.h"
#include "platform/RegistryView.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace quillon::platform {

class MemoryRegistry final : public Registry {
public:
    MemoryRegistry();
    ~MemoryRegistry() override;

    /// Mounts a view at root\path; the key and its parents then exist. The view is owned by the registry.
    void mount(HKEY root, const std::string& path, std::unique_ptr<RegistryView> view);

    LONG RegOpenKeyEx(HKEY root, const std::string& subKey, DWORD options, DWORD access,
                      HKEY& result) override;
    LONG RegCreateKeyEx(HKEY root, const std::string& subKey, DWORD options, DWORD access, HKEY& result,
                        DWORD* disposition) override;
    LONG RegEnumValue(HKEY key, DWORD index, char* name, DWORD& nameLength, DWORD* type, unsigned char* data,
                      DWORD* dataSize) override;
    LONG RegQueryValueEx(HKEY key, const std::string& name, DWORD* type, unsigned char* data,
                         DWORD* dataSize) override;
    LONG RegSetValueEx(HKEY key, const std::string& name, DWORD type, const unsigned char* data,
                       DWORD size) override;
    LONG RegDeleteValue(HKEY key, const std::string& name) override;
    LONG RegCloseKey(HKEY key) override;
    std::string writeProblem() const override { return writeProblem_; }

    /// Number of handles not yet closed (for tests that check the routines close what they open).
    std::size_t openHandleCount() const { return handles_.size(); }

private:
    struct Node;
    struct Handle {
        Node* node = nullptr;
        DWORD access = 0;
        bool snapshotTaken = false;
        std::vector<RegistryValue> snapshot; // a view's values as of the first read through this handle
    };

    Node* find(HKEY root, const std::string& path, bool create, bool* created);
    Handle* handle(HKEY key);
    const std::vector<RegistryValue>& valuesOf(Handle& h);
    HKEY newHandle(Node* node, DWORD access);
    /// Keeps the view's reason when status is a failure; returns status.
    LONG noteProblem(const RegistryView& view, LONG status);

    std::map<HKEY, std::unique_ptr<Node>> roots_;
    std::map<HKEY, Handle> handles_;
    HKEY nextHandle_ = 0x100;
    std::string writeProblem_;
};

} // namespace quillon::platform
