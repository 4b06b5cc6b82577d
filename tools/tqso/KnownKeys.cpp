// The known-key check of job file objects (see the header).
#include "KnownKeys.h"

#include <algorithm>
#include <cctype>

namespace tqso {

namespace {

const size_t kMostEdits = 2;
// Longer keys are not compared: no known key is near them, and the comparison grows with the length.
const size_t kLongestComparedKey = 64;

std::string Lower(const std::string& text) {
  std::string lower = text;
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return lower;
}

// The edit distance of two texts (Levenshtein), one row at a time.
size_t EditDistance(const std::string& a, const std::string& b) {
  std::vector<size_t> row(b.size() + 1);
  for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    size_t diagonal = row[0];
    row[0] = i;
    for (size_t j = 1; j <= b.size(); ++j) {
      const size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

}  // namespace

std::string NearestKey(const std::string& key, const std::vector<std::string>& known) {
  if (key.size() > kLongestComparedKey) return "";
  const std::string lower = Lower(key);
  for (const std::string& candidate : known)
    if (Lower(candidate) == lower) return candidate;
  std::string nearest;
  size_t best = kMostEdits + 1;
  for (const std::string& candidate : known) {
    const size_t distance = EditDistance(lower, Lower(candidate));
    if (distance < best && distance < candidate.size()) {
      best = distance;
      nearest = candidate;
    }
  }
  return nearest;
}

bool OnlyKnownKeys(const jsonxx::Object& object, const std::vector<std::string>& known, const std::string& where,
                   std::string& error) {
  for (const auto& item : object.kv_map()) {
    if (std::find(known.begin(), known.end(), item.first) != known.end()) continue;
    error = "unknown key " + (where.empty() ? "" : where + ".") + item.first;
    const std::string nearest = NearestKey(item.first, known);
    if (!nearest.empty()) error += " (did you mean " + nearest + "?)";
    return false;
  }
  return true;
}

}  // namespace tqso
