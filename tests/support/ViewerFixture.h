#pragma once
// The main window over the tests' fonts, for the window tests: settings in a folder of the test's own (the
// user's are never touched), the splash off. SetUp builds the platform only, so a test can set what the
// window reads at its start before buildViewer() and load().

#include "base/FontModule.h"
#include "display/TextMeasurer.h"
#include "platform/SettingsStore.h"
#include "platform/linux/LinuxPlatform.h"
#include "shell/SimpleCombo.h"
#include "shell/Viewer.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace quillon::test {

class ViewerFixture : public ::testing::Test {
protected:
    QTemporaryDir config;
    std::unique_ptr<platform::LinuxPlatform> machine;
    FontModule module;
    FontCatalogue catalogue;
    ScreenTextMeasurer measurer;
    std::unique_ptr<Viewer> viewer;

    void SetUp() override
    {
        qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
        machine = std::make_unique<platform::LinuxPlatform>();
        setting("ShowSplash", "0");
    }

    void setting(const QString& key, const QString& value)
    {
        machine->platform().settings.SaveSetting("Quillon", "Settings", key, value);
    }

    void buildViewer()
    {
        viewer = std::make_unique<Viewer>(machine->platform(), module, catalogue, measurer);
    }

    /// Selects `face` in the face list as a click on it does.
    void select(const QString& face)
    {
        for (int i = 0; i < viewer->fontList->count(); ++i)
            if (viewer->fontList->itemText(i) == face) viewer->fontList->setListIndex(i);
        ASSERT_EQ(viewer->fontList->text(), face);
    }

    /// Loads and shows the built window as the program's start does, with `commandLine` as its arguments.
    void load(const QString& commandLine = QString())
    {
        module.commandLine = commandLine;
        viewer->Form_Load();
        viewer->show();
    }
};

} // namespace quillon::test
