#pragma once

#include "record/FieldAccuracy.h"
#include "workspace/FieldTable.h"
#include "workspace/GridNorthLine.h"

#include <string>

namespace tellurim {

/// The workspace's only way to its window: the controls' texts and list
/// selections, addressed by field. A view forwards every change of a
/// control's text (typed, or written by setText) to Workspace::textChanged.
class WorkspaceView {
public:
    virtual ~WorkspaceView() = default;
    virtual std::string text(Field field) const = 0;
    virtual void setText(Field field, const std::string& text) = 0;
    virtual int selectedIndex(Field field) const = 0;
    virtual void setSelectedIndex(Field field, int index) = 0;
    /// Gives the keyboard focus to the field and selects its whole text.
    virtual void focusAndSelect(Field field) = 0;
    /// Shows how far the results may be trusted and the compass zone, beside
    /// (never inside) the fields.
    virtual void showAccuracy(const AccuracyTexts& texts) = 0;
    /// Shows the grid-north line: the systems, the point on the grid, the
    /// convergence and the grid declination. A view without the line ignores it.
    virtual void showGridNorth(const GridNorthTexts& texts) { (void)texts; }
};

}  // namespace tellurim
