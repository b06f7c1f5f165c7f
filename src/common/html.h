// What every page the programs write shares: escaping, the page's frame, the
// matrix whose key columns stay in view, and the filter's script.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vernatto::common {

// Appends `text` to `out` with & < > " ' replaced by their HTML references.
void appendEscaped(std::string& out, std::string_view text);

// The start of a page: its head, titled `title` (escaped), with the rules
// every matrix page shares, then `style` (rules of the page's own), then
// the rules for paper; then the body, headed with the title.
std::string pageStart(std::string_view title, std::string_view style);

// The matrix of a page, in element "#matrix": key columns that stay in view
// while the other columns, all of one width, scroll past them. Widths are in
// em and known in advance, so that the sticky offsets are too, and a block
// of rows that the browser lays out only in view can be given the matrix's
// whole width (such a block clips what it holds to its own box).
struct MatrixColumns {
  std::vector<int> keys;  // the key columns' widths
  std::size_t columns = 0;
  int columnWidth = 0;
  // The width of the whole matrix.
  int width() const;
};

// The opening of one of the matrix's tables, up to its column group: all of
// them have the same fixed columns, so that the header's and the blocks'
// columns line up.
std::string matrixTableStart(const MatrixColumns& matrix);

// The rules that make the header (".head") and every block of rows (".rows")
// as wide as the matrix, and its key columns stay in view.
std::string matrixStyle(const MatrixColumns& matrix);

// The rules that give each key column its offset from the left.
std::string keyOffsets(const MatrixColumns& matrix);

// The parts of a filter's script that differ from page to page. The frame
// around them declares `d` (the document), `rows` and `blocks` (the
// matrix's ".rows" blocks) and ends their declaration with `setUp`, which
// fills `rows` with {row, block} objects and declares `shown`, the element
// that tells how many rows are shown; `values` declares what `apply` reads
// of the controls and `n = 0, seen = []`; `show`, run with `r` one of the
// rows, declares `show`, whether it stays; `wiring` makes the controls call
// `apply`.
struct FilterScript {
  std::string_view setUp;
  std::string_view values;
  std::string_view show;
  std::string_view wiring;
};

// The filter's script: hides the rows that `show` rejects and every block
// whose rows are all hidden, so that it leaves no gap of its estimated
// height; says how many rows are shown; shows the controls (element
// "controls", hidden in the page), which work only with the script; and
// applies them once.
std::string filterScript(const FilterScript& parts);

}  // namespace vernatto::common
