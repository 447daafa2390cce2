// The model drop-down: the shipped models by name and span, the files used
// before (kept in the settings), and a pick loads like New Model.

#include "support/TestEnvironment.h"
#include "support/WorkspaceHarness.h"
#include "workspace/SettingsFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace tellurim {
namespace {

std::vector<std::string> labels(const std::vector<ModelChoice>& choices)
{
    std::vector<std::string> result;
    for (const ModelChoice& choice : choices)
        result.push_back(choice.label);
    return result;
}

TEST(ModelChoice, ShippedModelsByNameAndSpanNewestFirstThenFilesUsedBefore)
{
    TempSettings settings;
    TempDir work;
    ScriptedInteraction ui;
    WorkspaceHarness h(ui);
    const std::vector<ModelChoice> shipped = h.workspace.modelChoices();
    const std::vector<std::string> names = labels(shipped);
    ASSERT_GE(names.size(), 6u);
    EXPECT_EQ(names[0], "WMM-2025, 2025.0 to 2030.0");
    EXPECT_NE(std::find(names.begin(), names.end(), "IGRF-14, 1900.0 to 2030.0"), names.end());
    EXPECT_NE(std::find(names.begin(), names.end(), "WMM-2020, 2020.0 to 2025.0"), names.end());
    EXPECT_TRUE(std::all_of(shipped.begin(), shipped.end(), [](const ModelChoice& c) { return c.shipped; }));
    EXPECT_TRUE(h.workspace.recentModels.empty());  // the shipped default is listed anyway

    // A copy elsewhere, picked: loaded, shown, remembered, offered, saved.
    const auto wmm2020 = std::find_if(shipped.begin(), shipped.end(),
                                      [](const ModelChoice& c) { return c.label.rfind("WMM-2020", 0) == 0; });
    ASSERT_NE(wmm2020, shipped.end());
    const std::string copy = work.file("Old.COF");
    std::filesystem::copy_file(wmm2020->path, copy);
    h.workspace.locationChanged = 0;
    h.workspace.chooseModel(copy);
    EXPECT_EQ(h.workspace.record.FILENAME, copy);
    EXPECT_EQ(h.view.text(Field::FILENAME), copy);
    EXPECT_EQ(h.workspace.locationChanged, 1);
    EXPECT_EQ(h.workspace.texts().CVALIDITY, "The year is out of range for the selected model");
    ASSERT_EQ(ui.transcript().size(), 1u);  // as New Model warns of a model past its life
    EXPECT_EQ(ui.transcript()[0].text.rfind("WARNING: TIME BEYOND MODEL LIFE SPAN", 0), 0u);
    ui.clearTranscript();
    ASSERT_TRUE(h.workspace.currentModelChoice().has_value());
    EXPECT_EQ(h.workspace.currentModelChoice()->label, "WMM-2020, 2020.0 to 2025.0");
    EXPECT_EQ(h.workspace.recentModels, std::vector<std::string>{copy});
    EXPECT_EQ(labels(h.workspace.modelChoices()).back(), "WMM-2020, 2020.0 to 2025.0 (" + copy + ")");

    ASSERT_TRUE(h.workspace.saveSettings());
    EXPECT_EQ(readSettings(settingsFilePath()).recentModels, std::vector<std::string>{copy});

    // A shipped pick is not added to the files used before.
    h.workspace.chooseModel(shipped[0].path);
    EXPECT_EQ(h.workspace.texts().CVALIDITY, "OK");
    EXPECT_EQ(h.workspace.recentModels, std::vector<std::string>{copy});

    // A file gone is no longer offered; nothing was asked throughout.
    std::filesystem::remove(copy);
    EXPECT_EQ(h.workspace.modelChoices().size(), shipped.size());
    EXPECT_TRUE(ui.transcript().empty());
}

TEST(ModelChoice, TheListKeepsTheNewestFilesOnce)
{
    std::vector<std::string> recent;
    for (int i = 0; i < 10; ++i)
        recent = ModelCatalogue::remember(std::move(recent), "/m/" + std::to_string(i) + ".COF");
    ASSERT_EQ(recent.size(), ModelCatalogue::kMostRecent);
    EXPECT_EQ(recent.front(), "/m/9.COF");
    recent = ModelCatalogue::remember(std::move(recent), "/m/5.COF");
    EXPECT_EQ(recent.front(), "/m/5.COF");
    EXPECT_EQ(std::count(recent.begin(), recent.end(), "/m/5.COF"), 1);
    EXPECT_EQ(recent.size(), ModelCatalogue::kMostRecent);

    // The settings keep them in order, and a shorter list leaves no old entry.
    TempDir work;
    const std::filesystem::path file = work.path() / "Tellurim.INI";
    const Settings defaults = readSettings(file);
    ASSERT_FALSE(writeSettings(file, defaults.location, defaults.grid, recent).has_value());
    EXPECT_EQ(readSettings(file).recentModels, recent);
    ASSERT_FALSE(writeSettings(file, defaults.location, defaults.grid, {"/m/a.COF"}).has_value());
    EXPECT_EQ(readSettings(file).recentModels, std::vector<std::string>{"/m/a.COF"});
}

}  // namespace
}  // namespace tellurim
