// The name of a source file without its directories, for trace lines: the build machine's paths never
// reach a job's messages or the log.
#pragma once

// Evaluated at compile time when given __FILE__.
constexpr const char* TqSourceFileName(const char* path) {
  const char* name = path;
  for (const char* c = path; *c != '\0'; ++c)
    if (*c == '/') name = c + 1;
  return name;
}

#define TQ_SOURCE_FILE TqSourceFileName(__FILE__)
