#pragma once

#include "platform/Interaction.h"
#include "poles/PoleDialogView.h"
#include "record/GridSettings.h"

#include <optional>

namespace tellurim {

/// What the main window's flows ask beyond boxes, files and printers: the grid
/// rectangle and the pole window. The Qt implementation shows the dialogs;
/// tests script them.
class WorkspaceInteraction : public Interaction {
public:
    /// Shows the grid dialog on these values: the six values entered, checked
    /// against their ranges (lNeverGrid as given), or nothing when cancelled.
    virtual std::optional<GridSettings> editGridRectangle(const GridSettings& initial) = 0;
    /// Runs the modal pole window on the given logic until it closes; the
    /// window attaches itself when it opens and detaches when it closes.
    virtual void runPoleDialog(PoleDialogActions& actions) = 0;
};

}  // namespace tellurim
