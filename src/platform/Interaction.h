#pragma once

#include "platform/Progress.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>
#include <string_view>

namespace tellurim {

/// Caption of every box that names the application.
inline constexpr std::string_view kAppName = "Tellurim";
/// Captions of the boxes that name what happened.
inline constexpr std::string_view kFileOpenErrorCaption = "Tellurim File Open Error";
inline constexpr std::string_view kFileReadErrorCaption = "Tellurim File Read Error";
inline constexpr std::string_view kSuccessfulSaveCaption = "Tellurim Successful Save";
inline constexpr std::string_view kModelDescriptionCaption = "Tellurim Model File Description";

enum class Icon { None, Information, Exclamation, Stop, Question };
/// YesNoCancel has Yes as its default button; YesNo and YesNoCancelDefaultNo
/// have No, for a question whose Yes goes ahead with something costly.
enum class Buttons { Ok, YesNoCancel, YesNo, YesNoCancelDefaultNo };
enum class Answer { Ok, Yes, No, Cancel };

/// One modal message box: icon, caption, text (line breaks as '\n'), buttons.
struct Message {
    Icon icon = Icon::None;
    std::string caption;
    std::string text;
    Buttons buttons = Buttons::Ok;
};

/// A further file-type entry of a file dialog.
struct FileFilter {
    std::string description;  ///< e.g. "Magnetic model files (*.cof, *.shc)"
    std::string pattern;      ///< one or more patterns separated by blanks
};

/// One open or save file dialog.
struct FileRequest {
    enum class Mode { Open, Save };
    Mode mode = Mode::Open;
    std::string title;
    std::string filterDescription;  ///< e.g. "Magnetic model files (*.cof)"
    std::string pattern;            ///< e.g. "*.cof"; matched case-insensitively
    std::string defaultExtension;   ///< without the dot, e.g. "cof"
    std::string initialName;        ///< file name or path the dialog opens on
    bool confirmOverwrite = false;  ///< Save: ask before replacing a file
    std::vector<FileFilter> moreFilters{};  ///< entries after the first, in order
};

/// How a printed document ended. One that went to a file and could not be
/// written there names the file and the operating system's error number.
struct PrintResult {
    bool printed = false;
    std::string fileName;  ///< empty unless a file refused the document
    int osError = -1;
    explicit operator bool() const { return printed; }
};

/// One printed page in device pixels, origin at the top left of the printable
/// area. Text is drawn centred on x with its top edge at y in the printer's
/// default font.
class PageCanvas {
public:
    virtual ~PageCanvas() = default;
    virtual int pixelsPerInchX() const = 0;
    virtual int pixelsPerInchY() const = 0;
    virtual void drawCentredText(int x, int y, std::string_view text) = 0;
    /// Ends the page and the document; not printed when the printer or the
    /// output file refused it.
    virtual PrintResult finish() = 0;
};

/// Everything that asks the user something. The Qt implementation shows real
/// dialogs; tests use a scripted one that records a transcript.
class Interaction {
public:
    virtual ~Interaction() = default;
    /// Shows a modal box and returns the button pressed (Ok for Buttons::Ok).
    virtual Answer ask(const Message& message) = 0;
    /// Shows a file dialog; the chosen full path, or nothing when cancelled.
    virtual std::optional<std::string> chooseFile(const FileRequest& request) = 0;
    /// Shows the print dialog; a canvas for one page, or null when cancelled.
    virtual std::unique_ptr<PageCanvas> choosePrinter(std::string_view documentName) = 0;
    /// Opens the progress window with this caption; the owning window stays
    /// disabled until the returned object is destroyed. Never null.
    virtual std::unique_ptr<Progress> openProgress(std::string_view caption) = 0;
};

}  // namespace tellurim
