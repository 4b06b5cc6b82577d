// A cheap look at how deeply the elements of an XML text nest, taken before the text is parsed: a tree
// of a request nested tens of thousands deep would cost each worker megabytes it keeps afterwards.
#pragma once

#include <cstddef>
#include <string>

namespace smissim {

// Deeper than any CIM-XML request (nested references included) goes.
constexpr int kMaxRequestNesting = 256;

// True when start tags nest deeper than `limit`. Counts start tags, end tags and empty-element tags;
// declarations, comments and processing instructions do not nest.
bool nestingDeeperThan(const std::string& xml, int limit);

}  // namespace smissim
