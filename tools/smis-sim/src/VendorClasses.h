// The class declarations of the families' profiles, added to the provider's class table after its own.
#pragma once
#include <vector>

#include "ClassHierarchy.h"

namespace smissim {

std::vector<ClassInfo> vendorProfileClasses();

}  // namespace smissim
