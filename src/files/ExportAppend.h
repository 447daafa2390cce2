#pragma once

#include "files/CsvWriter.h"
#include "platform/Interaction.h"

#include <string>
#include <string_view>

namespace tellurim {

/// One export file of a run (open once created) and the name its file
/// dialog proposes.
struct ExportTarget {
    CsvFile& file;
    std::string& lastName;
};

/// Appends one row to an export file, the same way for every export. When
/// the file is not open yet: asks for its name (the request's initial name
/// is the target's last name; Cancel stops), keeps the chosen name, creates
/// the file ("Cannot open file" box on failure, the file stays closed) and
/// writes the header. Each write goes to disk before the next; a failed
/// write shows "Error writing CSV file. Code: n." and ends the export with
/// the file kept open and ending at its last whole row, so the next export
/// starts a clean row. A written row is confirmed with successText.
void appendExportRow(Interaction& interaction, ExportTarget target, FileRequest request,
                     const std::string& header, const std::string& row,
                     std::string_view successText);

}  // namespace tellurim
