#include "support/ScriptedInteraction.h"

#include <gtest/gtest.h>

namespace tellurim {

std::string_view iconName(Icon icon)
{
    switch (icon) {
    case Icon::None: return "none";
    case Icon::Information: return "information";
    case Icon::Exclamation: return "exclamation";
    case Icon::Stop: return "stop";
    case Icon::Question: return "question";
    }
    return "?";
}

Prompt messageBox(Icon icon, std::string caption, std::string text, Buttons buttons)
{
    Prompt prompt;
    prompt.icon = icon;
    prompt.caption = std::move(caption);
    prompt.text = std::move(text);
    prompt.buttons = buttons;
    return prompt;
}

::testing::AssertionResult sameBox(const Prompt& actual, const Prompt& expected)
{
    if (actual.kind == Prompt::Kind::Message && actual.icon == expected.icon
        && actual.caption == expected.caption && actual.text == expected.text
        && actual.buttons == expected.buttons)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "box (" << iconName(actual.icon) << ", \"" << actual.caption << "\", buttons "
           << static_cast<int>(actual.buttons) << (actual.kind == Prompt::Kind::Message ? "" : ", not a message")
           << "): " << actual.text << "\nexpected (" << iconName(expected.icon) << ", \""
           << expected.caption << "\", buttons " << static_cast<int>(expected.buttons) << "): " << expected.text;
}

::testing::AssertionResult lastBox(const ScriptedInteraction& ui, std::size_t count, const Prompt& expected)
{
    if (ui.transcript().size() != count)
        return ::testing::AssertionFailure() << ui.transcript().size() << " prompts instead of " << count
                                             << (ui.transcript().empty() ? "" : "; the last: ")
                                             << (ui.transcript().empty() ? "" : ui.transcript().back().text);
    return sameBox(ui.transcript().back(), expected);
}

::testing::AssertionResult sameDialog(const Prompt& actual, const FileRequest& expected)
{
    const FileRequest& got = actual.file;
    if (actual.kind == Prompt::Kind::File && got.mode == expected.mode && got.title == expected.title
        && got.filterDescription == expected.filterDescription && got.pattern == expected.pattern
        && got.defaultExtension == expected.defaultExtension && got.initialName == expected.initialName
        && got.confirmOverwrite == expected.confirmOverwrite)
        return ::testing::AssertionSuccess();
    const auto describe = [](const FileRequest& r) {
        return (r.mode == FileRequest::Mode::Open ? "open \"" : "save \"") + r.title + "\" [" + r.filterDescription
               + "] " + r.pattern + " ." + r.defaultExtension + " at \"" + r.initialName + "\""
               + (r.confirmOverwrite ? " confirming overwrite" : "");
    };
    return ::testing::AssertionFailure() << (actual.kind == Prompt::Kind::File ? "" : "not a file dialog: ")
                                         << describe(got) << "\nexpected " << describe(expected);
}

ScriptedInteraction::~ScriptedInteraction()
{
    if (!m_checked && !m_answers.empty())
        ADD_FAILURE() << m_answers.size() << " scripted answer(s) were never used";
}

ScriptedInteraction& ScriptedInteraction::then(Answer answer)
{
    m_answers.emplace_back(answer);
    return *this;
}

ScriptedInteraction& ScriptedInteraction::then(File file)
{
    m_answers.emplace_back(std::move(file));
    return *this;
}

ScriptedInteraction& ScriptedInteraction::then(Printer printer)
{
    m_answers.emplace_back(std::move(printer));
    return *this;
}

Answer ScriptedInteraction::ask(const Message& message)
{
    Prompt prompt;
    prompt.kind = Prompt::Kind::Message;
    prompt.icon = message.icon;
    prompt.caption = message.caption;
    prompt.text = message.text;
    prompt.buttons = message.buttons;
    m_transcript.push_back(prompt);
    if (message.buttons == Buttons::Ok)
        return Answer::Ok;
    if (m_answers.empty() || !std::holds_alternative<Answer>(m_answers.front())) {
        ADD_FAILURE() << "unscripted question (" << iconName(message.icon) << ", \""
                      << message.caption << "\"): " << message.text;
        return Answer::Cancel;
    }
    const Answer answer = std::get<Answer>(m_answers.front());
    m_answers.pop_front();
    return answer;
}

std::optional<std::string> ScriptedInteraction::chooseFile(const FileRequest& request)
{
    Prompt prompt;
    prompt.kind = Prompt::Kind::File;
    prompt.file = request;
    m_transcript.push_back(prompt);
    if (m_answers.empty() || !std::holds_alternative<File>(m_answers.front())) {
        ADD_FAILURE() << "unscripted file dialog: " << request.title;
        return std::nullopt;
    }
    std::optional<std::string> path = std::move(std::get<File>(m_answers.front()).path);
    m_answers.pop_front();
    return path;
}

std::unique_ptr<PageCanvas> ScriptedInteraction::choosePrinter(std::string_view documentName)
{
    Prompt prompt;
    prompt.kind = Prompt::Kind::Printer;
    prompt.documentName = std::string(documentName);
    m_transcript.push_back(prompt);
    if (m_answers.empty() || !std::holds_alternative<Printer>(m_answers.front())) {
        ADD_FAILURE() << "unscripted print dialog: " << documentName;
        return nullptr;
    }
    std::unique_ptr<PageCanvas> canvas = std::move(std::get<Printer>(m_answers.front()).canvas);
    m_answers.pop_front();
    return canvas;
}

ScriptedInteraction& ScriptedInteraction::then(GridArea area)
{
    m_answers.emplace_back(std::move(area));
    return *this;
}

ScriptedInteraction& ScriptedInteraction::then(ProgressRun run)
{
    m_answers.emplace_back(run);
    return *this;
}

std::optional<GridSettings> ScriptedInteraction::editGridRectangle(const GridSettings& initial)
{
    Prompt prompt;
    prompt.kind = Prompt::Kind::Grid;
    prompt.grid = initial;
    m_transcript.push_back(prompt);
    if (m_answers.empty() || !std::holds_alternative<GridArea>(m_answers.front())) {
        ADD_FAILURE() << "unscripted grid dialog";
        return std::nullopt;
    }
    const std::optional<GridSettings> entered = std::get<GridArea>(m_answers.front()).entered;
    m_answers.pop_front();
    return entered;
}

// Records every call; closing it is a prompt of its own, so that a test sees
// whether the window closed before a box appeared.
class ScriptedInteraction::RecordingProgress final : public Progress {
public:
    RecordingProgress(ScriptedInteraction& owner, int cancelAtPoll) : m_owner(owner), m_cancelAtPoll(cancelAtPoll) {}
    ~RecordingProgress() override
    {
        Prompt closed;
        closed.kind = Prompt::Kind::ProgressClosed;
        m_owner.m_transcript.push_back(closed);
    }
    void setRange(int lower, int upper) override
    {
        note("range " + std::to_string(lower) + " " + std::to_string(upper));
    }
    void setPosition(int position) override { note("position " + std::to_string(position)); }
    void setStep(int step) override { note("step " + std::to_string(step)); }
    bool pollCancel() override
    {
        note("poll");
        return ++m_polls == m_cancelAtPoll;
    }

private:
    void note(std::string event) { m_owner.m_progressEvents.push_back(std::move(event)); }

    ScriptedInteraction& m_owner;
    int m_cancelAtPoll;
    int m_polls = 0;
};

std::unique_ptr<Progress> ScriptedInteraction::openProgress(std::string_view caption)
{
    Prompt prompt;
    prompt.kind = Prompt::Kind::Progress;
    prompt.caption = std::string(caption);
    m_transcript.push_back(prompt);
    int cancelAtPoll = 0;
    if (m_answers.empty() || !std::holds_alternative<ProgressRun>(m_answers.front())) {
        ADD_FAILURE() << "unscripted progress window: " << caption;
        cancelAtPoll = 1;  // cancelled at once
    } else {
        cancelAtPoll = std::get<ProgressRun>(m_answers.front()).cancelAtPoll;
        m_answers.pop_front();
    }
    return std::make_unique<RecordingProgress>(*this, cancelAtPoll);
}

ScriptedInteraction& ScriptedInteraction::then(PoleSession session)
{
    m_answers.emplace_back(std::move(session));
    return *this;
}

void ScriptedInteraction::runPoleDialog(PoleDialogActions& actions)
{
    Prompt prompt;
    prompt.kind = Prompt::Kind::PoleDialog;
    m_transcript.push_back(prompt);
    if (m_answers.empty() || !std::holds_alternative<PoleSession>(m_answers.front())) {
        ADD_FAILURE() << "unscripted pole window";
        return;
    }
    const PoleSession session = std::move(std::get<PoleSession>(m_answers.front()));
    m_answers.pop_front();
    FakePoleView view;
    actions.attach(&view);
    session.run(actions, view);
    actions.attach(nullptr);
}

std::vector<Prompt> ScriptedInteraction::messages() const
{
    std::vector<Prompt> result;
    for (const Prompt& prompt : m_transcript)
        if (prompt.kind == Prompt::Kind::Message)
            result.push_back(prompt);
    return result;
}

bool ScriptedInteraction::finished()
{
    m_checked = true;
    if (!m_answers.empty()) {
        ADD_FAILURE() << m_answers.size() << " scripted answer(s) were never used";
        return false;
    }
    return true;
}

}  // namespace tellurim
