#pragma once
// A registry key whose values live outside the registry: the installed fonts, the system information
// program, the desktop's file associations. MemoryRegistry mounts views at fixed key paths.

#include "platform/Registry.h"

#include <string>
#include <vector>

namespace quillon::platform {

struct RegistryValue {
    std::string name;
    DWORD type = REG_NONE;
    std::string data; // raw bytes as stored, terminator included when the writer stored one
};

class RegistryView {
public:
    virtual ~RegistryView() = default;
    /// The key's values now, in enumeration order. Called once per open handle, so a view may compute here.
    virtual std::vector<RegistryValue> values() = 0;
    /// Whether the key may be opened for writing; a read-only view refuses KEY_SET_VALUE access.
    virtual bool writable() const { return false; }
    /// Stores a value; only called on writable views. Returns a Windows status code.
    virtual LONG setValue(const RegistryValue& value)
    {
        (void)value;
        return ERROR_ACCESS_DENIED;
    }
    /// Removes a value; only called on writable views. Returns a Windows status code.
    virtual LONG deleteValue(const std::string& name)
    {
        (void)name;
        return ERROR_ACCESS_DENIED;
    }
    /// Why the last write that failed was not made, for the user (UTF-8); empty when the view cannot say.
    virtual std::string problem() const { return {}; }
};

} // namespace quillon::platform
