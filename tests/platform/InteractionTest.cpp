// The engine's messages through the interaction, and file choices.

#include "platform/FileChoice.h"
#include "workspace/InteractionMessageSink.h"
#include "support/ScriptedInteraction.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <filesystem>

namespace tellurim {
namespace {

namespace fs = std::filesystem;

TEST(InteractionMessageSink, EngineTextsBecomeLinesInBoxesCaptionedTellurim)
{
    ScriptedInteraction ui;
    InteractionMessageSink sink(ui);
    sink.showPlainMessage("ERROR OPENING FILE:;/tmp/a;b.COF");
    sink.showInformationMessage("WARNING;line two");
    ASSERT_EQ(ui.transcript().size(), 2u);
    EXPECT_EQ(ui.transcript()[0].icon, Icon::None);
    EXPECT_EQ(ui.transcript()[0].caption, "Tellurim");
    EXPECT_EQ(ui.transcript()[0].text, "ERROR OPENING FILE:\n/tmp/a\nb.COF");
    EXPECT_EQ(ui.transcript()[0].buttons, Buttons::Ok);
    EXPECT_EQ(ui.transcript()[1].icon, Icon::Information);
    EXPECT_EQ(ui.transcript()[1].text, "WARNING\nline two");
}

TEST(FileChoice, ConfirmedChoiceEntersTheChosenFolder)
{
    TempDir dir;
    fs::create_directories(dir / "sub");
    ScopedCurrentDir restore(fs::current_path());

    ScriptedInteraction ui{File{dir / "sub" / "x.LOC"}, File{}};
    FileRequest request;
    request.title = "Pick";
    EXPECT_EQ(chooseFileAndEnterFolder(ui, request), (dir / "sub" / "x.LOC").string());
    EXPECT_EQ(fs::current_path(), fs::canonical(dir / "sub"));

    // Cancel leaves the current folder alone.
    EXPECT_FALSE(chooseFileAndEnterFolder(ui, request).has_value());
    EXPECT_EQ(fs::current_path(), fs::canonical(dir / "sub"));
    EXPECT_EQ(ui.transcript()[0].file.title, "Pick");
    EXPECT_TRUE(ui.finished());
}

TEST(FileChoice, FolderThatCannotBeEnteredLeavesTheCurrentOne)
{
    TempDir dir;
    ScopedCurrentDir restore(dir.path());
    EXPECT_FALSE(enterFolderOf("bare-name.LOC"));
    EXPECT_FALSE(enterFolderOf((dir / "missing" / "x.LOC").string()));
    EXPECT_EQ(fs::current_path(), fs::canonical(dir.path()));
}

TEST(ScriptedInteractionSelf, QuestionsTakeAnswersInOrderAndOkBoxesNeedNone)
{
    ScriptedInteraction ui{Answer::No, Answer::Yes};
    EXPECT_EQ(ui.ask(Message{Icon::Question, "Tellurim", "one", Buttons::YesNoCancel}), Answer::No);
    EXPECT_EQ(ui.ask(Message{Icon::Information, "Tellurim", "note", Buttons::Ok}), Answer::Ok);
    EXPECT_EQ(ui.ask(Message{Icon::Question, "Tellurim", "two", Buttons::YesNoCancel}), Answer::Yes);
    EXPECT_EQ(ui.messages().size(), 3u);
    EXPECT_TRUE(ui.finished());
}

TEST(ScriptedInteractionSelf, UnscriptedPromptFailsTheTest)
{
    ScriptedInteraction ui;
    Answer answer = Answer::Yes;
    const Message question{Icon::Question, "Tellurim", "save?", Buttons::YesNoCancel};
    EXPECT_NONFATAL_FAILURE(answer = ui.ask(question), "unscripted question");
    EXPECT_EQ(answer, Answer::Cancel);
    std::optional<std::string> file = "x";
    EXPECT_NONFATAL_FAILURE(file = ui.chooseFile(FileRequest{}), "unscripted file dialog");
    EXPECT_FALSE(file.has_value());
    EXPECT_EQ(ui.transcript().size(), 2u);
}

TEST(ScriptedInteractionSelf, BoxAndDialogChecksNoticeEveryField)
{
    const FileRequest request{FileRequest::Mode::Save, "Title", "Files (*.X)", "*.X", "x", "a.X", true};
    ScriptedInteraction ui{File{}};
    ui.ask(Message{Icon::Stop, "Tellurim", "text", Buttons::Ok});
    ui.chooseFile(request);
    const Prompt box = messageBox(Icon::Stop, "Tellurim", "text");
    EXPECT_TRUE(sameBox(ui.transcript()[0], box));
    for (const Prompt& other : {messageBox(Icon::None, "Tellurim", "text"), messageBox(Icon::Stop, "T", "text"),
                                messageBox(Icon::Stop, "Tellurim", "txt"),
                                messageBox(Icon::Stop, "Tellurim", "text", Buttons::YesNoCancel)})
        EXPECT_FALSE(sameBox(ui.transcript()[0], other)) << other.caption << other.text;
    EXPECT_FALSE(sameBox(ui.transcript()[1], box));  // a file dialog
    EXPECT_FALSE(lastBox(ui, 2, box));
    EXPECT_FALSE(lastBox(ui, 1, box));

    EXPECT_TRUE(sameDialog(ui.transcript()[1], request));
    EXPECT_FALSE(sameDialog(ui.transcript()[0], request));
    for (std::size_t field = 0; field < 7; ++field) {
        FileRequest other = request;
        std::string* texts[] = {&other.title, &other.filterDescription, &other.pattern, &other.defaultExtension,
                                &other.initialName};
        if (field < 5)
            *texts[field] += "!";
        else if (field == 5)
            other.mode = FileRequest::Mode::Open;
        else
            other.confirmOverwrite = false;
        EXPECT_FALSE(sameDialog(ui.transcript()[1], other)) << field;
    }
    EXPECT_TRUE(ui.finished());
}

TEST(ScriptedInteractionSelf, UnusedAnswerFailsTheTest)
{
    auto scriptAndDrop = [] { ScriptedInteraction ui{Answer::Yes}; };
    EXPECT_NONFATAL_FAILURE(scriptAndDrop(), "never used");
}

}  // namespace
}  // namespace tellurim
