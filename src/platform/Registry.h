#pragma once
// The subset of the Windows registry API (advapi32, ANSI forms) that the program's registry routines and
// catalogue are written against. Status codes, value types and root handles keep their Windows numbers so
// that the routines read as they do on Windows. "ANSI" text is UTF-8 bytes on Linux.

#include <cstdint>
#include <string>

namespace quillon::platform {

using HKEY = std::uint32_t;
using LONG = std::int32_t;
using DWORD = std::uint32_t;

inline constexpr HKEY HKEY_CLASSES_ROOT = 0x80000000u;
inline constexpr HKEY HKEY_CURRENT_USER = 0x80000001u;
inline constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002u;
inline constexpr HKEY HKEY_USERS = 0x80000003u;
inline constexpr HKEY HKEY_CURRENT_CONFIG = 0x80000005u;

inline constexpr LONG ERROR_SUCCESS = 0;
inline constexpr LONG ERROR_FILE_NOT_FOUND = 2;
inline constexpr LONG ERROR_ACCESS_DENIED = 5;
inline constexpr LONG ERROR_INVALID_HANDLE = 6;
inline constexpr LONG ERROR_INVALID_PARAMETER = 87;
inline constexpr LONG ERROR_MORE_DATA = 234;
inline constexpr LONG ERROR_NO_MORE_ITEMS = 259;

inline constexpr DWORD REG_NONE = 0;
inline constexpr DWORD REG_SZ = 1;
inline constexpr DWORD REG_EXPAND_SZ = 2;
inline constexpr DWORD REG_BINARY = 3;
inline constexpr DWORD REG_DWORD = 4;
inline constexpr DWORD REG_MULTI_SZ = 7;

inline constexpr DWORD KEY_QUERY_VALUE = 0x0001;
inline constexpr DWORD KEY_SET_VALUE = 0x0002;
inline constexpr DWORD KEY_CREATE_SUB_KEY = 0x0004;
inline constexpr DWORD KEY_READ = 0x20019;
inline constexpr DWORD KEY_WRITE = 0x20006;
inline constexpr DWORD KEY_ALL_ACCESS = 0xF003F;

inline constexpr DWORD REG_CREATED_NEW_KEY = 1;
inline constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

/// Registry operations with Windows semantics. Key paths are relative to a root handle, parts separated by
/// "\", matched ignoring ASCII case. Handles returned by open/create must be closed with RegCloseKey.
class Registry {
public:
    virtual ~Registry() = default;

    virtual LONG RegOpenKeyEx(HKEY root, const std::string& subKey, DWORD options, DWORD access,
                              HKEY& result) = 0;
    /// Opens or creates the key and any missing intermediate keys. disposition may be null.
    virtual LONG RegCreateKeyEx(HKEY root, const std::string& subKey, DWORD options, DWORD access,
                                HKEY& result, DWORD* disposition) = 0;
    /// Enumerates the values of an open key by index. nameLength is in: the buffer's size in bytes, out: the
    /// name's length without its NUL. A name that does not fit (with its NUL) gives ERROR_MORE_DATA and
    /// leaves nameLength unchanged; past the last value gives ERROR_NO_MORE_ITEMS and leaves it unchanged
    /// too. type, data and dataSize may each be null; with data null and dataSize set, the value's size is
    /// reported.
    virtual LONG RegEnumValue(HKEY key, DWORD index, char* name, DWORD& nameLength, DWORD* type,
                              unsigned char* data, DWORD* dataSize) = 0;
    /// Reads one value; "" names the key's default value. With data null, only type and size are reported.
    /// A buffer smaller than the value gives ERROR_MORE_DATA and the needed size.
    virtual LONG RegQueryValueEx(HKEY key, const std::string& name, DWORD* type, unsigned char* data,
                                 DWORD* dataSize) = 0;
    /// Writes one value, byte for byte as given (no terminator is added). Needs KEY_SET_VALUE access.
    virtual LONG RegSetValueEx(HKEY key, const std::string& name, DWORD type, const unsigned char* data,
                               DWORD size) = 0;
    /// Removes one value; "" names the key's default value. A missing value gives ERROR_FILE_NOT_FOUND.
    /// Needs KEY_SET_VALUE access.
    virtual LONG RegDeleteValue(HKEY key, const std::string& name) = 0;
    virtual LONG RegCloseKey(HKEY key) = 0;
    /// Why the most recent write that failed was not made, in words for the user ("the disk is full"),
    /// UTF-8; empty when no write failed or the store cannot say. Not a Windows call: Windows gives only
    /// the status code, which cannot tell a full disk from a refused file.
    virtual std::string writeProblem() const { return {}; }
};

} // namespace quillon::platform
