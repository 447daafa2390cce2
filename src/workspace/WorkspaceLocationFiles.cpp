// The workspace's location-file, print and export operations.
#include "workspace/Workspace.h"

#include "files/ExportAppend.h"
#include "workspace/BusyMark.h"
#include "workspace/FieldTable.h"
#include "files/FileError.h"
#include "files/LocationExport.h"
#include "files/LocationFile.h"
#include "files/ReplaceFile.h"
#include "files/ReportLayout.h"
#include "files/UserName.h"
#include "platform/FileChoice.h"
#include "workspace/BusyMark.h"
#include "record/Conversions.h"

#include <cerrno>

namespace tellurim {
namespace {

constexpr std::string_view kOpenErrorCaption = "Tellurim File Open Error";
constexpr std::string_view kReadErrorCaption = "Tellurim File Read Error";

Message box(Icon icon, std::string_view caption, std::string text,
            Buttons buttons = Buttons::Ok)
{
    return Message{icon, std::string(caption), std::move(text), buttons};
}

}  // namespace

std::optional<Workspace::SaveOutcome> Workspace::askToSaveChanges()
{
    const Answer answer = m_interaction.ask(
        box(Icon::Question, kAppName, "The data for this location has changed. Do you wish to save it?",
            Buttons::YesNoCancel));
    if (answer == Answer::No) {
        return SaveOutcome::Declined;
    }
    if (answer != Answer::Yes) {
        return SaveOutcome::Cancelled;
    }
    return std::nullopt;
}

Workspace::SaveOutcome Workspace::saveLocation(bool explicitSave)
{
    BusyMark mark(m_busy);
    if (!explicitSave) {
        if (locationChanged == 0) {
            return SaveOutcome::Done;
        }
        if (const std::optional<SaveOutcome> refused = askToSaveChanges()) {
            return *refused;
        }
    }

    // Relative to the current directory, which file dialogs move to the
    // folder of the last file chosen.
    const std::string fileName = record.Location + ".LOC";
    const std::string cannotCreate = "Cannot open Location:\n\n" + fileName +
                                     "\n\nBe sure Location does not contain\n"
                                     "characters illegal for file names";
    // A longer text would be refused when the file is loaded again.
    if (!fitsLocationFile(record)) {
        m_interaction.ask(box(Icon::Exclamation, kFileOpenErrorCaption,
                              "Cannot save Location:\n\n" + fileName +
                                  "\n\nThe location name and the model path must each be at "
                                  "most 255 characters long"));
        return SaveOutcome::Cancelled;
    }
    if (fileName.find('\0') != std::string::npos) {
        m_interaction.ask(box(Icon::Exclamation, kFileOpenErrorCaption, cannotCreate));
        return SaveOutcome::Cancelled;
    }

    if (pathExists(fileName)) {
        const Answer answer = m_interaction.ask(
            box(Icon::Question, kAppName,
                "Location file already exists:\n\n" + fileName + ".\n\nDo you wish to overwrite?",
                Buttons::YesNoCancel));
        if (answer != Answer::Yes) {
            return SaveOutcome::OverwriteDeclined;
        }
    }

    // The old file is replaced only once the new one is complete on disk, so
    // a full disk or a crash half way cannot cost the user the saved location.
    if (const auto failure = replaceFileContents(fileName, encodeLocationFile(record))) {
        // A name longer than the file system holds is refused only when the
        // finished file is given it; it is still a name that cannot be created.
        // A refusal with its own reason (a planted link, a folder) says it.
        const bool nameRefused = failure->stage == ReplaceStage::Create && failure->error.detail.empty();
        if (nameRefused || failure->error.osError == ENAMETOOLONG) {
            m_interaction.ask(box(Icon::Exclamation, kFileOpenErrorCaption, cannotCreate));
        } else {
            m_interaction.ask(fileErrorMessage(failure->error));
        }
        return SaveOutcome::Cancelled;
    }
    m_interaction.ask(box(Icon::Information, kSuccessfulSaveCaption,
                          "Location saved OK:\n\n" + fileName));
    locationChanged = 0;
    return SaveOutcome::Done;
}

void Workspace::getLocation()
{
    BusyMark mark(m_busy);
    if (saveLocation(false) == SaveOutcome::Cancelled) {
        return;
    }

    const FileRequest request{.mode = FileRequest::Mode::Open,
                              .title = "Name of new Tellurim Location File",
                              .filterDescription = "Tellurim Location files (*.LOC)",
                              .pattern = "*.LOC",
                              .defaultExtension = "loc",
                              .initialName = lastFileName};
    const std::optional<std::string> chosen = chooseFileAndEnterFolder(m_interaction, request);
    if (!chosen) {
        return;
    }
    const std::string& path = *chosen;
    rememberFileName(path);
    locationChanged = 0;

    FileError error;
    // Read beside the current location: a refused file leaves it as it was.
    LocationRecord loaded = record;
    LocationReadStatus status = readLocationFile(path, loaded, error);
    // A value its field would refuse if typed (an elevation below the centre
    // of the Earth, a NaN) is damage, not a location to compute.
    if (status == LocationReadStatus::Ok && firstFieldOutOfRange(loaded)) {
        status = LocationReadStatus::Damaged;
    }
    switch (status) {
    case LocationReadStatus::Ok:
        record = std::move(loaded);
        break;
    case LocationReadStatus::CannotOpen:
        m_interaction.ask(box(Icon::Exclamation, kFileOpenErrorCaption, "Cannot open Location:\n\n" + path));
        return;
    case LocationReadStatus::NotLocationFile:
        m_interaction.ask(box(Icon::Exclamation, kFileReadErrorCaption,
                              "File is not Tellurim LOC file:\n\n" + path));
        return;
    case LocationReadStatus::UnknownVersion:
        m_interaction.ask(box(Icon::Exclamation, kFileReadErrorCaption,
                              "Unknown version of Tellurim LOC file:\n\n" + path));
        return;
    case LocationReadStatus::Damaged:
        m_interaction.ask(box(Icon::Exclamation, kFileReadErrorCaption,
                              "File is damaged or incomplete:\n\n" + path));
        return;
    case LocationReadStatus::ReadFailed:
        m_interaction.ask(fileErrorMessage(error));
        return;
    }

    record.DDATE = dateToDecimalYear(record.IMONTH, record.IDAY, record.IYR);
    loadModel(false);
    show();
}

void Workspace::printLocation()
{
    BusyMark mark(m_busy);
    std::unique_ptr<PageCanvas> canvas = m_interaction.choosePrinter(kPrintDocumentName);
    if (!canvas) {
        return;
    }
    const std::vector<ReportLine> lines =
        reportLines(record, m_results, m_texts,
                    reportUserName ? *reportUserName : currentUserName());
    // Printing to a file that cannot be written must not pass in silence.
    if (const PrintResult printed = printLines(*canvas, lines); !printed) {
        m_interaction.ask(printFailureMessage(printed));
    }
}

void Workspace::exportLocation()
{
    BusyMark mark(m_busy);
    const FileRequest request{.mode = FileRequest::Mode::Save,
                              .title = "Name of Tellurim Export File",
                              .filterDescription = "Tellurim export files (*.CSV)",
                              .pattern = "*.CSV",
                              .defaultExtension = "csv",
                              .initialName = {},
                              .confirmOverwrite = true};
    appendExportRow(m_interaction, {m_locationExportFile, lastFileName}, request,
                    locationExportHeader(), locationExportRow(record, m_results, m_texts),
                    "Data exported OK");
}

}  // namespace tellurim
