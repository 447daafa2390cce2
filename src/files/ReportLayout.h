#pragma once

#include "engine/FieldResult.h"
#include "record/ResultTexts.h"
#include "platform/Interaction.h"
#include "record/LocationRecord.h"

#include <string>
#include <string_view>
#include <vector>

namespace tellurim {

/// The notice every printed page carries under its heading.
inline constexpr std::string_view kMainFieldNotice =
    "Values from a main-field model; local crustal and external fields are not included.";

/// Document name handed to the print service.
inline constexpr std::string_view kPrintDocumentName = "DocName";

/// Shown when the printer (or the file printed to) did not accept a page.
inline constexpr std::string_view kPrintFailedText =
    "The page could not be printed: the printer or the output file did not accept it.";

/// One line of a printed page: its top edge lies factor inches below the top
/// of the printable area. Factors are singles, and positions are computed
/// from those exact singles.
struct ReportLine {
    float factor = 1.0f;
    std::string text;
};

/// A line placed on a page, in device pixels: centred on x, top edge at y.
struct PlacedLine {
    int x = 0;
    int y = 0;
    std::string text;
};

/// The lines of the location report: 13, or 14 when the texts carry a grid variation.
/// Numbers are formatted with a point as decimal separator whatever the
/// locale; texts of any length are kept whole.
std::vector<ReportLine> reportLines(const LocationRecord& record, const FieldResult& results,
                                    const ResultTexts& texts, std::string_view userName);

/// Places lines for a device of ppiX by ppiY pixels per inch:
/// x = ppiX * 4 (the page's centre line), y = trunc(ppiY * factor).
std::vector<PlacedLine> placeLines(const std::vector<ReportLine>& lines, int ppiX, int ppiY);

/// Draws lines on one page and finishes it. Returns what the canvas's finish returns.
PrintResult printLines(PageCanvas& canvas, const std::vector<ReportLine>& lines);

/// The box for a document that was not printed: the standard file-error
/// report when a file refused it, kPrintFailedText when a printer did.
Message printFailureMessage(const PrintResult& result);

}  // namespace tellurim
