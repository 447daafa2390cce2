// Feeds the main window's logic, without a window: the first two bytes give
// the length of a settings file and the next two that of a location file,
// which follow; the rest are typed entries, a line each, the first byte
// choosing the field. The workspace starts on the settings, loads the
// location file, then takes each entry as if typed and left. Whatever it
// loaded must be what its fields accept when typed, and a result that is not
// a number must never be given a compass zone.

#include "workspace/ModelEngine.h"
#include "platform/Clock.h"
#include "workspace/InteractionMessageSink.h"
#include "workspace/FieldTable.h"
#include "workspace/Workspace.h"
#include "workspace/WorkspaceInteraction.h"
#include "workspace/WorkspaceView.h"

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <unistd.h>

namespace {

using namespace tellurim;

// Answers every question with No (nothing is saved) and every file dialog
// with the fuzzed location file.
class Answers final : public WorkspaceInteraction {
public:
    std::string locationFile;
    Answer ask(const Message& message) override { return message.buttons == Buttons::Ok ? Answer::Ok : Answer::No; }
    std::optional<std::string> chooseFile(const FileRequest&) override { return locationFile; }
    std::unique_ptr<PageCanvas> choosePrinter(std::string_view) override { return nullptr; }
    std::unique_ptr<Progress> openProgress(std::string_view) override { return nullptr; }
    std::optional<GridSettings> editGridRectangle(const GridSettings&) override { return std::nullopt; }
    void runPoleDialog(PoleDialogActions&) override {}
};

class View final : public WorkspaceView {
public:
    explicit View(Workspace& workspace) : m_workspace(workspace) {}
    std::string text(Field field) const override { return m_texts[index(field)]; }
    void setText(Field field, const std::string& text) override
    {
        m_texts[index(field)] = text;
        m_workspace.textChanged(field);
    }
    int selectedIndex(Field field) const override { return m_selected[index(field)]; }
    void setSelectedIndex(Field field, int selected) override { m_selected[index(field)] = selected; }
    void focusAndSelect(Field) override {}
    void showAccuracy(const AccuracyTexts& texts) override
    {
        if (std::isnan(m_workspace.results().BH) && texts.zone != CompassZone::Unknown)
            std::abort();  // a value that could not be computed is in no zone
    }

private:
    static std::size_t index(Field field) { return static_cast<std::size_t>(field); }
    Workspace& m_workspace;
    std::array<std::string, kFieldCount> m_texts{};
    std::array<int, kFieldCount> m_selected{};
};

class FixedDay final : public Clock {
public:
    CalendarDate today() const override { return {2026, 3, 15}; }
};

std::string scratchFolder()
{
    const char* directory = std::getenv("TMPDIR");
    const std::string folder =
        std::string{directory ? directory : "/tmp"} + "/tellurim-fuzz-workspace-" + std::to_string(getpid());
    std::filesystem::create_directories(folder + "/Tellurim");
    ::setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
    return folder;
}

bool writeFile(const std::string& path, std::string_view bytes)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

void requireLoadedValuesInRange(const Workspace& workspace)
{
    if (firstFieldOutOfRange(workspace.record))
        std::abort();  // a loaded value its field would refuse if typed
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string folder = scratchFolder();
    if (size < 4)
        return 0;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const size_t settingsSize = std::min<size_t>(size - 4, data[0] | (size_t{data[1]} << 8));
    const size_t locationSize = std::min<size_t>(size - 4 - settingsSize, data[2] | (size_t{data[3]} << 8));
    const std::string_view settings = bytes.substr(4, settingsSize);
    const std::string_view location = bytes.substr(4 + settingsSize, locationSize);
    std::string_view typed = bytes.substr(4 + settingsSize + locationSize);

    Answers answers;
    answers.locationFile = folder + "/Fuzz.LOC";
    if (!writeFile(folder + "/Tellurim/Tellurim.INI", settings) || !writeFile(answers.locationFile, location))
        return 0;
    InteractionMessageSink sink(answers);
    ModelEngine engine(sink);
    sink.explainReadFailuresOf(&engine);
    FixedDay clock;
    Workspace workspace(engine, answers, clock);
    View view(workspace);
    workspace.attachView(&view);
    requireLoadedValuesInRange(workspace);
    workspace.show();
    workspace.getLocation();
    requireLoadedValuesInRange(workspace);
    for (int entries = 0; !typed.empty() && entries < 16; ++entries) {
        const size_t end = std::min(typed.find('\n'), typed.size());
        const auto field = static_cast<Field>(static_cast<unsigned char>(typed[0]) % kFieldCount);
        if (end > 0 && fieldSpec(field).editable && fieldSpec(field).kind != FieldKind::List) {
            view.setText(field, std::string(typed.substr(1, end - 1)));
            workspace.leaveField(field);
        }
        typed.remove_prefix(std::min(end + 1, typed.size()));
    }
    workspace.recalc(std::nullopt);
    return 0;
}
