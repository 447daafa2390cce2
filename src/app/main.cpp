// Tellurim: the desktop program. Everything but the wiring lives in the
// libraries; this file parses the command line, builds the window and
// writes the settings on every way out.

#include "workspace/ModelEngine.h"
#include "platform/Clock.h"
#include "workspace/InteractionMessageSink.h"
#include "ui/QtInteraction.h"
#include "ui/TerminationSignals.h"
#include "workspace/Workspace.h"
#include "ui/AboutDialog.h"
#include "ui/ApplicationIcon.h"
#include "ui/MainDialog.h"

#include <QApplication>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>


namespace {

const auto kStarted = std::chrono::steady_clock::now();

constexpr const char* kUsage =
    "Usage: tellurim [MODEL.COF]\n"
    "\n"
    "Calculates the Earth's magnetic field from a spherical-harmonic model.\n"
    "\n"
    "  MODEL.COF   model coefficient file to use for this run (and to remember\n"
    "              for the next one); without it the last model is loaded\n"
    "  --help      show this text and exit\n"
    "  --version   show the version and exit\n"
    "\n"
    "The last location, model and grid settings are kept in\n"
    "$XDG_CONFIG_HOME/Tellurim/Tellurim.INI (~/.config/Tellurim when unset).\n";

struct CommandLine {
    std::optional<std::string> model;
    int exitCode = -1;  ///< >= 0: exit at once with this code
};

CommandLine parseCommandLine(const std::vector<std::string_view>& args)
{
    CommandLine result;
    for (const std::string_view arg : args) {
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            result.exitCode = 0;
            return result;
        }
        if (arg == "--version") {
            std::printf("tellurim %s\n", tellurim::AboutDialog::version());
            result.exitCode = 0;
            return result;
        }
    }
    for (const std::string_view arg : args) {
        if (arg.size() > 1 && arg.front() == '-') {
            std::fprintf(stderr, "tellurim: unknown option '%.*s'\n%s", static_cast<int>(arg.size()),
                         arg.data(), kUsage);
            result.exitCode = 2;
            return result;
        }
        if (result.model) {
            std::fprintf(stderr, "tellurim: only one model file can be named\n%s", kUsage);
            result.exitCode = 2;
            return result;
        }
        result.model = std::string(arg);
    }
    return result;
}

// For the start-up benchmark and the process tests: says when the window
// first painted ("1" then closes it, "announce" keeps it open).
void announceFirstPaint(tellurim::MainDialog& window)
{
    const char* firstPaint = std::getenv("TELLURIM_EXIT_AFTER_FIRST_PAINT");
    const bool exitAfterPaint = firstPaint != nullptr && std::strcmp(firstPaint, "1") == 0;
    if (exitAfterPaint || (firstPaint != nullptr && std::strcmp(firstPaint, "announce") == 0)) {
        window.setFirstPaintHook([&window, exitAfterPaint] {
            const auto elapsed = std::chrono::duration<double, std::milli>(
                std::chrono::steady_clock::now() - kStarted);
            std::printf("first paint after %.1f ms\n", elapsed.count());
            std::fflush(stdout);
            if (exitAfterPaint)
                window.reject();
        });
    }
}

}  // namespace

int main(int argc, char** argv)
{
    // --help and --version answer without starting the window system.
    {
        std::vector<std::string_view> args(argv + 1, argv + argc);
        for (const std::string_view arg : args)
            if (arg == "--help" || arg == "-h" || arg == "--version")
                return parseCommandLine(args).exitCode;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tellurim"));
    QApplication::setApplicationVersion(QString::fromLatin1(tellurim::AboutDialog::version()));
    QApplication::setDesktopFileName(QStringLiteral("io.github.tellurim.Tellurim"));
    QApplication::setWindowIcon(tellurim::applicationIcon());

    // Qt has taken its own options (-platform, -style ...) out of argv.
    const CommandLine commandLine =
        parseCommandLine(std::vector<std::string_view>(argv + 1, argv + argc));
    if (commandLine.exitCode >= 0)
        return commandLine.exitCode;

    using namespace tellurim;
    QtInteraction interaction;
    // SIGTERM and SIGINT end the run like Close does, so the settings are
    // kept: a running grid is cancelled (its complete rows stay in the file),
    // no box waits for an answer any more, and every event loop ends.
    TerminationSignals termination([&interaction] {
        interaction.endSession();
        QCoreApplication::exit(0);
    });
    InteractionMessageSink sink(interaction);
    ModelEngine engine(sink);
    sink.explainReadFailuresOf(&engine);
    SystemClock clock;
    Workspace workspace(engine, interaction, clock, commandLine.model);

    MainDialog window(workspace);
    interaction.setParent(&window);

#ifndef QT_NO_SESSIONMANAGER
    // The desktop session may end the process without the window closing.
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &window,
                     [&workspace] { workspace.saveSettings(false); });
#endif

    announceFirstPaint(window);

    window.exec();
    interaction.setParent(nullptr);
    // Nobody may be left to answer a box when a signal ended the run, so the
    // exit status is what tells a session manager or a script that the
    // settings were not kept.
    const bool saved = workspace.saveSettings(!termination.received());
    return termination.received() && !saved ? 1 : 0;
}
