#pragma once
// Saving the three options as one change. Setting the viewer or printer option writes the desktop's files
// and then the settings; a program ended between the two would leave the desktop doing one thing and the
// options saying another. So the boxes are first written down as the change under way, and taken off once
// the desktop and the settings agree; a start that finds a change still under way finishes it (completes
// the association it names, or gives it back) before anything else looks at either.

#include <QString>

#include <array>

namespace quillon {

namespace platform {
class SettingsStore;
}
class FileAssociations;
class RegistryModule;

class OptionsChange {
public:
    /// The boxes in the dialog's order: default viewer, default printer, splash screen.
    using Boxes = std::array<bool, 3>;

    struct Outcome {
        bool associationsMade = true; ///< the desktop took both associations as asked
        bool settingsSaved = true;    ///< every setting was stored
        QString reason;               ///< why not, for the user ("the disk is full"); empty when all was done
        bool done() const { return associationsMade && settingsSaved; }
    };

    /// All three are borrowed and must outlive this object.
    OptionsChange(FileAssociations& associations, RegistryModule& registry,
                  platform::SettingsStore& settings);

    /// Makes the desktop follow the two association boxes and stores each option the desktop took (an
    /// association it refused keeps its earlier setting, so the stored options always say what the
    /// desktop does). Nothing at all changes when not even the change under way can be written down.
    Outcome save(const Boxes& boxes);
    /// Finishes a save that an earlier run began and never ended; does nothing when none was under way.
    /// True when one was finished.
    bool finishInterrupted();

    /// The setting each box is stored under, and the one that holds a change under way ("110": the boxes
    /// as 1 and 0, in order).
    static const std::array<QString, 3> kSettings;
    static const QString kUnderWay;

private:
    platform::SettingsStore& settings_;
    FileAssociations& associations_;
    RegistryModule& registry_;
};

} // namespace quillon
