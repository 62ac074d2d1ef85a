#pragma once
// Three routines over the registry: create a key, read a value, write a value. Each opens its own handle,
// closes it before returning, and reports by the texts "Success!" and "Error!" rather than by raising.

#include "platform/Registry.h"

#include <QString>

#include <cstdint>
#include <variant>

namespace quillon {

/// A value read: nothing, text, or a 32-bit integer. "Error!" comes back as text.
using RegValue = std::variant<std::monostate, QString, std::int32_t>;

/// A value to write: text or a number, converted as the type code asks.
using RegInput = std::variant<QString, std::int32_t>;

inline const QString kRegSuccess = QStringLiteral("Success!");
inline const QString kRegError = QStringLiteral("Error!");

class RegistryModule {
public:
    explicit RegistryModule(platform::Registry& registry) : registry_(registry) {}

    QString CreateRegKey(platform::HKEY root, const QString& path);
    /// REG_SZ and REG_EXPAND_SZ come back byte for byte as stored (a stored terminator included, nothing
    /// expanded), REG_DWORD as a signed integer, any other type as empty; a missing key or value as "Error!".
    /// The key is opened for reading only, so a key the user may read but not write still reads.
    RegValue GetRegValue(platform::HKEY root, const QString& path, const QString& name);
    /// Type code 1 or 2 writes REG_SZ without a terminator, 4 a REG_DWORD; any other code writes nothing
    /// and succeeds. The key must exist.
    QString SetRegValue(platform::HKEY root, const QString& path, const QString& name, int typeCode,
                        const RegInput& value);
    /// Removes a value; "Error!" when the key cannot be opened for writing or holds no such value.
    QString DeleteRegValue(platform::HKEY root, const QString& path, const QString& name);
    /// Why the registry's most recent failed write was not made, for the user; empty when it cannot say.
    QString writeProblem() const { return QString::fromStdString(registry_.writeProblem()); }

private:
    platform::Registry& registry_;
};

/// The value as text: integers in decimal, empty as "".
QString regValueText(const RegValue& value);

/// Whether a status text the routines returned says the work was done. Callers read the status here, on
/// the line that receives it, and pass a bool on.
inline bool succeeded(const QString& status) { return status == kRegSuccess; }
/// Whether GetRegValue could not read the value (its key or the value is missing, or the key unreadable).
inline bool isError(const RegValue& value)
{
    const QString* text = std::get_if<QString>(&value);
    return text && *text == kRegError;
}

} // namespace quillon
