#pragma once
// Everything the program reaches of the operating system, handed down from main. Each member is an
// interface; src/platform/linux realises them, tests pass fakes.

namespace quillon::platform {

class Printers;
class Registry;
class SettingsStore;
class Shell;

struct Platform {
    Registry& registry;
    SettingsStore& settings;
    Shell& shell;
    Printers& printers;
};

} // namespace quillon::platform
