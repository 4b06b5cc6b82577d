#include "TextTable.h"

#include <algorithm>

namespace tqso {

void TextTable::Print(std::ostream& out) const {
  std::vector<size_t> widths;
  for (const std::vector<std::string>& row : rows_) {
    if (widths.size() < row.size()) widths.resize(row.size(), 0);
    for (size_t i = 0; i < row.size(); ++i) widths[i] = std::max(widths[i], row[i].size());
  }
  for (const std::vector<std::string>& row : rows_) {
    std::string line;
    for (size_t i = 0; i < row.size(); ++i) {
      line += row[i];
      if (i + 1 < row.size()) line += std::string(widths[i] - row[i].size() + 2, ' ');
    }
    out << line << "\n";
  }
}

}  // namespace tqso
