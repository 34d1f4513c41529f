#include "app/grid_export.h"

namespace morvane {

namespace {

void AppendJoined(std::string& Out, const std::vector<std::string>& Parts) {
  for (size_t i = 0; i < Parts.size(); ++i) {
    if (i > 0) Out += '\t';
    Out += Parts[i];
  }
}

void AppendEscaped(std::string& Out, std::string_view Text) {
  size_t from = 0;
  for (size_t i = 0; i < Text.size(); ++i) {
    const char* ref = nullptr;
    switch (Text[i]) {
      case '&': ref = "&amp;"; break;
      case '<': ref = "&lt;"; break;
      case '>': ref = "&gt;"; break;
      case '"': ref = "&quot;"; break;
      default: continue;
    }
    Out.append(Text.substr(from, i - from));
    Out += ref;
    from = i + 1;
  }
  Out.append(Text.substr(from));
}

template <class T>
size_t TotalSize(const std::vector<T>& Lines) {
  size_t n = 0;
  for (const T& l : Lines) n += l.size() + 8;
  return n;
}

}  // namespace

TGridExportFormat GridExportFormatOf(int FilterIndex) {
  if (FilterIndex == 1 || FilterIndex == 2) return TGridExportFormat::gefTabSeparated;
  if (FilterIndex == 3) return TGridExportFormat::gefHtml;
  return TGridExportFormat::gefNone;
}

std::string HtmlEscape(std::string_view Text) {
  std::string out;
  out.reserve(Text.size());
  AppendEscaped(out, Text);
  return out;
}

std::string GridExportText(TGridExportFormat Format, const std::vector<std::string>& Captions,
                           const std::vector<std::string_view>& RowLines) {
  std::string out;
  if (Format == TGridExportFormat::gefNone) return out;
  if (Format == TGridExportFormat::gefTabSeparated) {
    out.reserve(TotalSize(RowLines) + TotalSize(Captions));
    AppendJoined(out, Captions);
    out += "\r\n";
    for (size_t k = 0; k < RowLines.size(); ++k) {
      const std::string_view line = RowLines[k];
      const size_t tab = line.find('\t');
      if (tab == std::string_view::npos) {
        out += line;
      } else {
        out += std::to_string(k + 1);
        out += line.substr(tab);
      }
      out += "\r\n";
    }
    return out;
  }
  out.reserve(2 * TotalSize(RowLines) + 2 * TotalSize(Captions) + 64);
  out += "<table border=1><thead>\r\n";
  for (const std::string& c : Captions) {
    out += "<th>";
    AppendEscaped(out, c);
    out += "</th>";
  }
  out += "\r\n</thead><tbody>\r\n";
  for (size_t k = 0; k < RowLines.size(); ++k) {
    const std::string_view line = RowLines[k];
    out += "<tr>\r\n<td>";
    out += std::to_string(k + 1);
    out += "</td>";
    size_t tab = line.find('\t');
    while (tab != std::string_view::npos) {
      const size_t next = line.find('\t', tab + 1);
      out += "<td>";
      AppendEscaped(out, line.substr(tab + 1, next == std::string_view::npos ? std::string_view::npos : next - tab - 1));
      out += "</td>";
      tab = next;
    }
    out += "\r\n</tr>\r\n";
  }
  out += "</tbody></table>\r\n";
  return out;
}

std::string GridClipboardText(const std::vector<std::string>& Captions, const std::vector<std::string_view>& Lines) {
  std::string out;
  out.reserve(TotalSize(Lines) + TotalSize(Captions));
  AppendJoined(out, Captions);
  for (std::string_view l : Lines) {
    out += "\r\n";
    out += l;
  }
  return out;
}

}  // namespace morvane
