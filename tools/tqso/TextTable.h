// A table of texts printed in aligned columns: each column as wide as its widest cell, two blanks between
// columns, no blanks after the last.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace tqso {

class TextTable {
 public:
  explicit TextTable(std::vector<std::string> heading) { rows_.push_back(std::move(heading)); }
  void Add(std::vector<std::string> row) { rows_.push_back(std::move(row)); }
  void Print(std::ostream& out) const;

 private:
  std::vector<std::vector<std::string>> rows_;  // the heading first
};

}  // namespace tqso
