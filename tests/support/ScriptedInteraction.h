#pragma once

#include "workspace/WorkspaceInteraction.h"
#include "platform/Progress.h"
#include "record/GridSettings.h"

#include <gtest/gtest.h>

#include <array>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace tellurim {

/// A scripted answer to a file dialog: a path, or nothing for Cancel.
struct File {
    File() = default;
    explicit File(std::string chosen) : path(std::move(chosen)) {}
    explicit File(const char* chosen) : path(std::string(chosen)) {}
    template <typename PathLike>
    explicit File(const PathLike& chosen) : path(std::string(chosen.string())) {}
    std::optional<std::string> path;
};

/// A scripted answer to a print dialog: the page to draw on, or null for
/// Cancel.
struct Printer {
    Printer() = default;
    explicit Printer(std::unique_ptr<PageCanvas> page) : canvas(std::move(page)) {}
    std::unique_ptr<PageCanvas> canvas;
};

/// A scripted answer to the grid dialog: the values entered, or nothing for
/// Cancel.
struct GridArea {
    GridArea() = default;
    explicit GridArea(const GridSettings& values) : entered(values) {}
    std::optional<GridSettings> entered;
};

/// A scripted progress window: the user presses Cancel just before the
/// given poll (counted from 1; 0 never). The window records its calls.
struct ProgressRun {
    int cancelAtPoll = 0;
};

/// A scripted pole window: what the user does while it is open, given the
/// window's logic and its controls (a FakePoleView, opened and attached).
class FakePoleView;
struct PoleSession {
    std::function<void(PoleDialogActions&, FakePoleView&)> run;
};

/// The pole window's controls without widgets.
class FakePoleView final : public PoleDialogView {
public:
    std::string text(PoleField field) const override { return m_text[index(field)]; }
    void setText(PoleField field, const std::string& text) override { m_text[index(field)] = text; }
    void focusAndSelect(PoleField field) override { focus = field; ++focusReturns; }
    /// The user types into a field (no focus change).
    void type(PoleField field, const std::string& text) { m_text[index(field)] = text; }
    std::optional<PoleField> focus;
    int focusReturns = 0;

private:
    static std::size_t index(PoleField field) { return static_cast<std::size_t>(field); }
    std::array<std::string, kPoleFieldCount> m_text{};
};

/// One prompt the code under test raised, in the order raised.
struct Prompt {
    enum class Kind { Message, File, Printer, Grid, Progress, ProgressClosed, PoleDialog };
    Kind kind = Kind::Message;
    // Kind::Message
    Icon icon = Icon::None;
    std::string caption;
    std::string text;
    Buttons buttons = Buttons::Ok;
    // Kind::File
    FileRequest file;
    // Kind::Printer
    std::string documentName;
    // Kind::Grid: the values offered
    GridSettings grid;
    // Kind::Progress: the caption is in caption
};

/// An Interaction for tests. Questions (Yes/No/Cancel boxes), file dialogs
/// and print dialogs take the next scripted answer, in order; a box with
/// only an OK button needs no answer and is simply acknowledged. Every
/// prompt is recorded in the transcript. A prompt with no (or the wrong
/// kind of) scripted answer fails the running test and is cancelled;
/// answers left over fail the test when the interaction is destroyed,
/// unless finished() was checked.
///
///     ScriptedInteraction ui{Answer::Yes, File{dir / "B.LOC"}};
class ScriptedInteraction final : public WorkspaceInteraction {
public:
    using Scripted = std::variant<Answer, File, Printer, GridArea, ProgressRun, PoleSession>;

    ScriptedInteraction() = default;
    template <typename... Answers>
    explicit ScriptedInteraction(Answers&&... answers)
    {
        (then(std::forward<Answers>(answers)), ...);
    }
    ~ScriptedInteraction() override;

    ScriptedInteraction& then(Answer answer);
    ScriptedInteraction& then(File file);
    ScriptedInteraction& then(Printer printer);
    ScriptedInteraction& then(GridArea area);
    ScriptedInteraction& then(ProgressRun run);
    ScriptedInteraction& then(PoleSession session);

    Answer ask(const Message& message) override;
    std::optional<std::string> chooseFile(const FileRequest& request) override;
    std::unique_ptr<PageCanvas> choosePrinter(std::string_view documentName) override;
    std::optional<GridSettings> editGridRectangle(const GridSettings& initial) override;
    std::unique_ptr<Progress> openProgress(std::string_view caption) override;

    /// What the progress windows were told, in order: "range 0 100",
    /// "position 45", "step 10", "poll" (one entry per call).
    const std::vector<std::string>& progressEvents() const { return m_progressEvents; }
    void runPoleDialog(PoleDialogActions& actions) override;

    const std::vector<Prompt>& transcript() const { return m_transcript; }
    /// Only the message boxes of the transcript.
    std::vector<Prompt> messages() const;
    /// Forgets the transcript so far (the answers stay queued).
    void clearTranscript() { m_transcript.clear(); }
    /// True when every scripted answer was used; otherwise adds a test
    /// failure naming the number left.
    bool finished();
    std::size_t unusedAnswers() const { return m_answers.size(); }

private:
    std::deque<Scripted> m_answers;
    std::vector<Prompt> m_transcript;
    std::vector<std::string> m_progressEvents;
    bool m_checked = false;

    class RecordingProgress;
};

/// Icon names for readable failure messages.
std::string_view iconName(Icon icon);

/// A message box as a test expects it.
Prompt messageBox(Icon icon, std::string caption, std::string text, Buttons buttons = Buttons::Ok);
/// Whether a recorded prompt is that message box: kind, icon, caption, text and buttons.
::testing::AssertionResult sameBox(const Prompt& actual, const Prompt& expected);
/// Whether the transcript holds count prompts, the last of them that message box.
::testing::AssertionResult lastBox(const ScriptedInteraction& ui, std::size_t count, const Prompt& expected);
/// Whether a recorded prompt is that file dialog, every field of the request compared.
::testing::AssertionResult sameDialog(const Prompt& actual, const FileRequest& expected);

}  // namespace tellurim
