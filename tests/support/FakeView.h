#pragma once

#include "workspace/WorkspaceView.h"

#include <array>
#include <optional>
#include <string>

namespace tellurim {

class Workspace;

/// A window without widgets: one text per field, a selected index per list
/// and the focus. Like a real window it reports every text change to the
/// workspace, whether typed (type) or written by the workspace (setText).
class FakeView final : public WorkspaceView {
public:
    /// Attaches itself to the workspace; detaches when destroyed.
    explicit FakeView(Workspace& workspace);
    ~FakeView() override;

    std::string text(Field field) const override;
    void setText(Field field, const std::string& text) override;
    int selectedIndex(Field field) const override;
    void setSelectedIndex(Field field, int index) override;
    void focusAndSelect(Field field) override;
    void showAccuracy(const AccuracyTexts& texts) override { m_accuracy = texts; }
    void showGridNorth(const GridNorthTexts& texts) override { m_gridNorth = texts; }

    /// The user replaces the field's text (no focus change).
    void type(Field field, const std::string& text);
    /// The user changes a list's selection on the closed list (no action).
    void select(Field field, int index) { m_index[static_cast<std::size_t>(field)] = index; }

    std::optional<Field> focus() const { return m_focus; }
    void setFocus(std::optional<Field> field) { m_focus = field; }
    /// How often focusAndSelect was called, and the last field it named.
    int focusReturns() const { return m_focusReturns; }
    /// How often the workspace called setText for the field.
    int writes(Field field) const { return m_writes[static_cast<std::size_t>(field)]; }
    /// The uncertainties and zone as last shown.
    const AccuracyTexts& accuracy() const { return m_accuracy; }
    /// The grid-north line as last shown.
    const GridNorthTexts& gridNorth() const { return m_gridNorth; }

private:
    Workspace& m_workspace;
    std::array<std::string, kFieldCount> m_text{};
    std::array<int, kFieldCount> m_index{};
    std::array<int, kFieldCount> m_writes{};
    std::optional<Field> m_focus;
    int m_focusReturns = 0;
    AccuracyTexts m_accuracy;
    GridNorthTexts m_gridNorth;
};

}  // namespace tellurim
