// A strict check of a job file's JSON syntax before the lenient JSON reader sees it: one object and nothing
// after it, no comments, trailing commas, single quotes or bare words, and each fault placed by its line and
// column, since the reader says only that a text does not parse.
#pragma once

#include <string>

namespace tqso {

// True when `text` is exactly one JSON object (white space around it allowed) whose keys appear once per
// object; else false with "line L, column C: <what is wrong>" (columns count characters, from 1).
bool CheckJsonObjectSyntax(const std::string& text, std::string& error);

}  // namespace tqso
