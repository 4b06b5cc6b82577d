// Refusing the keys of a job file's object that the reader does not know, so a misspelt field is named
// instead of silently left out; a near miss is answered with the key it likely meant.
#pragma once

#include <string>
#include <vector>

#include "jsonxx.h"

namespace tqso {

// False with "unknown key <where>.<key>" (and "(did you mean <known>?)" for a near miss) for the first key of
// `object` that is not in `known`; `where` empty for the file's top object.
bool OnlyKnownKeys(const jsonxx::Object& object, const std::vector<std::string>& known, const std::string& where,
                   std::string& error);

// The known key `key` most likely meant: one that differs only in case, else one within two edits
// (insertions, deletions, substitutions); empty when none is near.
std::string NearestKey(const std::string& key, const std::vector<std::string>& known);

}  // namespace tqso
