#include "files/ExportAppend.h"

#include "platform/FileChoice.h"

#include <optional>

namespace tellurim {

namespace {

Message box(Icon icon, std::string_view caption, std::string text)
{
    return Message{icon, std::string(caption), std::move(text), Buttons::Ok};
}

}  // namespace

void appendExportRow(Interaction& interaction, ExportTarget target, FileRequest request,
                     const std::string& header, const std::string& row,
                     std::string_view successText)
{
    if (!target.file.isOpen()) {
        request.initialName = target.lastName;
        const std::optional<std::string> chosen = chooseFileAndEnterFolder(interaction, request);
        if (!chosen)
            return;
        // A path in a system folder is not offered again.
        if (!inSystemFolder(*chosen))
            target.lastName = *chosen;
        if (target.file.create(*chosen)) {
            interaction.ask(box(Icon::Exclamation, kFileOpenErrorCaption,
                                "Cannot open file:\n\n" + *chosen +
                                    ".\n\nPlease check file name and try again"));
            return;
        }
        // Each row goes to disk as it is written, so a crash later in the
        // run loses none of the rows already exported.
        if (const auto error = target.file.write(header, true)) {
            interaction.ask(box(Icon::Information, kAppName, csvWriteErrorText(*error)));
            return;
        }
    }
    if (const auto error = target.file.write(row, true)) {
        interaction.ask(box(Icon::Information, kAppName, csvWriteErrorText(*error)));
        return;
    }
    interaction.ask(box(Icon::Information, kAppName, std::string(successText)));
}

}  // namespace tellurim
