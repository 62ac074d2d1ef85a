#pragma once
// A registry read through a copy of the keys it has been asked about. The catalogue looks every font file
// up by its entry name, opening the fonts key once per entry; opening and searching the key (and, for a
// view, computing its values) each time would make the build quadratic in the number of fonts. Through
// this object the first value query on a key copies the key's values into an index by name; later opens
// of that key for reading are answered without the registry, and so are their value queries.
//
// Meant for one catalogue build, during which nothing changes the keys it reads: a copy is not refreshed
// when its key changes behind this object's back. A write through this object drops the key's copy.

#include "platform/Registry.h"

#include <map>
#include <string>
#include <unordered_map>

namespace quillon {

class RegistryReadCache final : public platform::Registry {
public:
    /// base must outlive this object.
    explicit RegistryReadCache(platform::Registry& base) : base_(base) {}
    ~RegistryReadCache() override;

    platform::LONG RegOpenKeyEx(platform::HKEY root, const std::string& subKey, platform::DWORD options,
                                platform::DWORD access, platform::HKEY& result) override;
    platform::LONG RegCreateKeyEx(platform::HKEY root, const std::string& subKey, platform::DWORD options,
                                  platform::DWORD access, platform::HKEY& result,
                                  platform::DWORD* disposition) override;
    platform::LONG RegEnumValue(platform::HKEY key, platform::DWORD index, char* name,
                                platform::DWORD& nameLength, platform::DWORD* type, unsigned char* data,
                                platform::DWORD* dataSize) override;
    platform::LONG RegQueryValueEx(platform::HKEY key, const std::string& name, platform::DWORD* type,
                                   unsigned char* data, platform::DWORD* dataSize) override;
    platform::LONG RegSetValueEx(platform::HKEY key, const std::string& name, platform::DWORD type,
                                 const unsigned char* data, platform::DWORD size) override;
    platform::LONG RegDeleteValue(platform::HKEY key, const std::string& name) override;
    platform::LONG RegCloseKey(platform::HKEY key) override;

private:
    struct Value {
        platform::DWORD type;
        std::string data;
    };
    struct Copy {
        bool made = false;
        std::unordered_map<std::string, Value> values; // by ASCII-lower-cased name, first value wins
        std::string subKey; // the key's path from its root, to open it in base when the copy cannot answer
    };
    struct OpenKey {
        std::string path;        // root and path, ASCII-lower-cased: the key's identity
        Copy* copy = nullptr;    // the key's copy once made
        platform::HKEY root = 0; // for a handle of this object: the root it was opened from
        platform::DWORD access = 0;
        platform::HKEY base = 0; // base's handle; 0 for a handle of this object not yet opened in base
        bool own = false;        // a handle this object made (odd numbers: registry handles are even)
    };

    OpenKey* find(platform::HKEY key);
    platform::HKEY baseHandle(platform::HKEY key, OpenKey& open, platform::LONG& status);
    Copy& copyOf(OpenKey& open);
    const std::string& lowered(const std::string& name);

    platform::Registry& base_;
    std::map<platform::HKEY, OpenKey> open_;
    std::unordered_map<std::string, Copy> copies_; // by key path
    platform::HKEY nextOwn_ = 0x40000001u;
    std::string scratch_; // reused for key paths and lower-cased names
    // The catalogue opens the same key again and again: the last path made is kept with what it was made of.
    platform::HKEY lastRoot_ = 0;
    std::string lastSubKey_;
    std::string lastPath_;
};

} // namespace quillon
