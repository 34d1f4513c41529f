// What the grid commands make of a grid's rows, without a window or a file:
// the tab-separated and HTML texts of Save as, and the text Copy puts on
// the clipboard. Captions and row lines come in the system's 8-bit code
// page; a row line is its cells joined by TAB, the first cell standing for
// the row's number.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace morvane {

enum class TGridExportFormat { gefNone, gefTabSeparated, gefHtml };

// The save dialog's filter index: 1 (*.txt) and 2 (*.xls) are the same
// tab-separated text, 3 is HTML; anything else writes nothing.
TGridExportFormat GridExportFormatOf(int FilterIndex);

// & < > and " as character references. Cells hold what web sites sent, so
// nothing of them may become markup in the exported page.
std::string HtmlEscape(std::string_view Text);

// The whole file: every line ended by CR LF. Row line k (from 1) gets the
// number k in place of its first cell.
std::string GridExportText(TGridExportFormat Format, const std::vector<std::string>& Captions,
                           const std::vector<std::string_view>& RowLines);

// The clipboard text: the captions joined by TAB, then CR LF and each line;
// nothing after the last line.
std::string GridClipboardText(const std::vector<std::string>& Captions, const std::vector<std::string_view>& Lines);

}  // namespace morvane
