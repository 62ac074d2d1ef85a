#pragma once
// The system's default locale as a Windows locale identifier (GetSystemDefaultLCID), from the locale the
// environment names: LC_ALL, then LC_CTYPE, then LANG, the first that is set.

#include <QByteArray>

#include <cstdint>

namespace quillon::platform {

/// The locale identifier for a POSIX locale name such as "de_DE.UTF-8" or "sr_RS@latin". The codeset is
/// dropped; "C", "POSIX" and "" give 0x0409, as does a name ICU has no identifier for. A name that gives
/// only a language (a neutral identifier) is completed with its likely region first.
std::uint32_t lcidFromLocaleName(const QByteArray& name);

/// lcidFromLocaleName of the environment's locale.
std::uint32_t systemDefaultLcid();

} // namespace quillon::platform
