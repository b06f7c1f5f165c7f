#include "common/html.h"

namespace vernatto::common {

void appendEscaped(std::string& out, std::string_view text) {
  // Most texts hold no markup character, so runs between them go in whole.
  std::size_t from = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char* reference = nullptr;
    switch (text[i]) {
      case '&':
        reference = "&amp;";
        break;
      case '<':
        reference = "&lt;";
        break;
      case '>':
        reference = "&gt;";
        break;
      case '"':
        reference = "&quot;";
        break;
      case '\'':
        reference = "&#39;";
        break;
      default:
        continue;
    }
    out.append(text, from, i - from).append(reference);
    from = i + 1;
  }
  out.append(text, from, text.size() - from);
}

}  // namespace vernatto::common

namespace vernatto::common {
namespace {

const char* const kBaseStyle =
    R"(body{font-family:system-ui,sans-serif;font-size:11pt;color:#000;margin:1em}
h1{font-size:14pt}h2{font-size:12pt}
.counts b{font-weight:normal;white-space:nowrap}
#controls label{margin-right:1.5em}
.wrap{overflow:auto;max-height:calc(100vh - 9em);border:1px solid #888;margin:.5em 0}
table{border-collapse:separate;border-spacing:0}
td,th{box-sizing:border-box;border:solid #bbb;border-width:0 1px 1px 0;padding:2px 4px;
text-align:left;vertical-align:top;overflow-wrap:anywhere}
#matrix table{table-layout:fixed}
#matrix .head{position:sticky;top:0;z-index:2}
#matrix thead th{background:#ddd}
#matrix tbody th{background:#f4f4f4;font-weight:normal}
#matrix .rows{content-visibility:auto;contain-intrinsic-size:auto 60em}
small{display:block;font-size:8pt}
)";

// After the page's rules of the key columns, so that it outranks them on
// paper.
const char* const kPrintStyle =
    "@media "
    "print{.wrap{max-height:none;overflow:visible;border:0}#controls{display:none}\n"
    "#matrix .head,#matrix tr>:nth-child(n){position:static}"
    "#matrix .rows{content-visibility:visible}}\n";

}  // namespace

std::string pageStart(std::string_view title, std::string_view style) {
  std::string escaped;
  appendEscaped(escaped, title);
  std::string html =
      "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
      "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
      "<title>" +
      escaped + "</title>\n<style>\n" + kBaseStyle;
  html.append(style).append(kPrintStyle);
  return html + "</style>\n</head>\n<body>\n<h1>" + escaped + "</h1>\n";
}

int MatrixColumns::width() const {
  int sum = 0;
  for (const int key : keys)
    sum += key;
  return sum + columnWidth * static_cast<int>(columns);
}

std::string matrixTableStart(const MatrixColumns& matrix) {
  std::string html =
      "<table style=\"width:" + std::to_string(matrix.width()) + "em\">\n<colgroup>";
  for (const int key : matrix.keys)
    html += "<col style=\"width:" + std::to_string(key) + "em\">";
  // A matrix without columns still has one, empty, as wide as one would be.
  const std::size_t span = matrix.columns > 0 ? matrix.columns : 1;
  return html + "<col span=" + std::to_string(span) +
         " style=\"width:" + std::to_string(matrix.columnWidth) + "em\"></colgroup>\n";
}

std::string matrixStyle(const MatrixColumns& matrix) {
  const std::string keys = std::to_string(matrix.keys.size());
  int keysWidth = 0;
  for (const int width : matrix.keys)
    keysWidth += width;
  // In a window too narrow for the key columns and one column beside them,
  // the keys scroll away with the columns rather than hide them.
  return "#matrix .head,#matrix .rows{width:" + std::to_string(matrix.width()) +
         "em}\n#matrix tr>:nth-child(-n+" + keys +
         "){position:sticky;z-index:1}\n@media (max-width:" +
         std::to_string(keysWidth + matrix.columnWidth) +
         "em){#matrix tr>:nth-child(-n+" + keys + "){position:static}}\n";
}

std::string keyOffsets(const MatrixColumns& matrix) {
  std::string css;
  int left = 0;
  for (std::size_t k = 0; k < matrix.keys.size(); ++k) {
    css += "#matrix tr>:nth-child(" + std::to_string(k + 1) +
           "){left:" + std::to_string(left) + "em}\n";
    left += matrix.keys[k];
  }
  return css;
}

std::string filterScript(const FilterScript& parts) {
  std::string js =
      "<script>\n(function () {\n  var d = document, rows = [], blocks = "
      "d.querySelectorAll('#matrix .rows'),\n";
  js.append(parts.setUp).append("  function apply() {\n").append(parts.values);
  js += "    for (var i = 0; i < rows.length; i++) {\n      var r = rows[i];\n";
  js.append(parts.show);
  js += R"(      if (r.row.hidden === show) r.row.hidden = !show;
      if (show) { n++; seen[r.block] = true; }
    }
    for (var b = 0; b < blocks.length; b++) {
      if (blocks[b].hidden === !!seen[b]) blocks[b].hidden = !seen[b];
    }
    shown.textContent = ' \u00b7 showing ' + n;
  }
)";
  js.append(parts.wiring);
  return js +
         "  d.getElementById('controls').hidden = false;\n  apply();\n})();\n</script>\n";
}

}  // namespace vernatto::common
