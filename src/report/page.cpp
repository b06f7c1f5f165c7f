#include <filesystem>
#include <ostream>

#include "report/report.h"

namespace vernatto::report {

std::string htmlHead(const std::string& title) {
  // The missing line feed after the "td,th" rule is part of the page as
  // published; browsers read the style sheet the same either way.
  return "<!DOCTYPE HTML>\n"
         "<html>\n<head>\n<meta charset=\"utf-8\">\n<title>" +
         title +
         "</title>\n"
         "<style type=\"text/css\">\n"
         "  body {\n"
         "    color:#000000;\n"
         "    font-family:'Calibri';\n"
         "    font-size:11pt;\n"
         "    }\n"
         "  p.footnote {\n"
         "    font-size:9pt;\n"
         "    }\n"
         "  h1 {\n"
         "    font-size:14pt;\n"
         "    font-weight: bold;\n"
         "    }\n"
         "  h2 {\n"
         "    font-size:12pt;\n"
         "    font-weight: bold;\n"
         "    page-break-after: avoid;\n"
         "    }\n"
         "  td,th {\n"
         "    padding: 6pt;\n"
         "    }"
         "  th {\n"
         "    font-weight: bold;\n"
         "    background-color: #CCCCCC;\n"
         "    }\n"
         "  .summary td {\n"
         "    font-weight: bold;\n"
         "    background-color: #ffff99;\n"
         "    }\n"
         "  table,td,th {\n"
         "    border: 0.5pt solid #888888;\n"
         "    }\n"
         "  table {\n"
         "    border-collapse: collapse;\n"
         "    page-break-inside: avoid;\n"
         "    }\n"
         "</style>\n"
         "</head>\n<body>\n";
}

std::ofstream openReport(const std::string& path) {
  // Text mode: on Windows every line feed is stored as CR LF. The path is
  // taken as UTF-8, which Windows needs turned into its wide form.
  std::ofstream report(std::filesystem::u8path(path), std::ios::out | std::ios::trunc);
  report << htmlHead("Vernatto") << "<h1>Vernatto</h1>\n";
  return report;
}

bool closeReport(std::ofstream& report) {
  report << "</body>\n</html>\n";
  // A failed open or write leaves failbit or badbit set; close adds failbit
  // when the final flush or the close itself fails.
  report.close();
  return !report.fail();
}

}  // namespace vernatto::report
