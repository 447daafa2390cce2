#pragma once

#include "workspace/ModelEngine.h"
#include "workspace/InteractionMessageSink.h"
#include "support/FakeView.h"
#include "support/FixedClock.h"
#include "support/ScriptedInteraction.h"
#include "workspace/Workspace.h"

#include <optional>
#include <string>

namespace tellurim {

/// A workspace as the program builds it, wired to an interaction (mostly a
/// scripted one), a fixed clock and a fake view, and opened (shown) like the
/// window does.
/// The settings come from wherever XDG_CONFIG_HOME points (TempSettings).
struct WorkspaceHarness {
    explicit WorkspaceHarness(WorkspaceInteraction& interaction, CalendarDate today = {2026, 3, 15},
                              std::optional<std::string> modelOverride = std::nullopt)
        : sink(interaction),
          engine(sink),
          clock(today.year, today.month, today.day),
          workspace((sink.explainReadFailuresOf(&engine), engine), interaction, clock, std::move(modelOverride)),
          view(workspace)
    {
        workspace.show();
    }

    InteractionMessageSink sink;
    ModelEngine engine;
    FixedClock clock;
    Workspace workspace;
    FakeView view;
};

}  // namespace tellurim
