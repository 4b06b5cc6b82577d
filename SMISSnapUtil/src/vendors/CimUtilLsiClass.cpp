#include "CimUtilLsiClass.h"

#include <vector>

#include "SnapInfo.h"
#include "TQPlatformInfo.h"
#include "TQProviderVendor.h"
#include "TqCimUtil.h"

namespace {

const char* const kClassPrefixSetting = "SMCONFIG_NAME_SMIS_CIM_CLASSNAME_PREFIX";
const char* const kLsiPrefixKey = "LSI_OEM_CLASSNAME_PREFIX";

// A per-array setting of the job record; "" when it is not set. A text longer than the first buffer is
// read again with the size the record asks for, never cut.
std::string PerArraySetting(TQSO::SnapInfo& record, const char* name) {
  std::vector<char> buffer(1024, '\0');
  uint32_t length = 1023;
  if (record.getConfigString(name, buffer.data(), &length) == TQSO::SnapInfo::kBufferTooSmall) {
    buffer.assign(static_cast<size_t>(length) + 2, '\0');
    length = static_cast<uint32_t>(buffer.size() - 1);
    record.getConfigString(name, buffer.data(), &length);
  }
  buffer.back() = '\0';
  return buffer.data();
}

}  // namespace

namespace tqcimutil {

std::string LsiFamilyClass(TqCimUtil& util, const char* label, const Pegasus::CIMObjectPath& object,
                           const char* suffix) {
  std::string prefix;
  std::string setting;
  if (util.m_SnapInfo) setting = PerArraySetting(*util.m_SnapInfo, kClassPrefixSetting);
  util.DEBUG_TRACE_NORMAL(label, " Array Config [%s:%s]", kClassPrefixSetting, setting.c_str());
  if (!setting.empty()) prefix = setting;
  TQPlatformInfo config;
  config.getString("Corvane", kLsiPrefixKey, &prefix);
  if (!prefix.empty())
    util.DEBUG_TRACE_NORMAL(label, "Classname prefix [%s]  read from regkey / snap config", prefix.c_str());
  if (prefix.empty()) {
    prefix = TQProviderVendor::GetVendorPrefix(object);
    util.DEBUG_TRACE_NORMAL(label, "LSI OEM class prefix [%s]", prefix.c_str());
  }
  if (prefix.empty()) return std::string("LSISSI") + suffix;
  std::string className = prefix + suffix;
  util.DEBUG_TRACE_NORMAL(label, "LSI OEM classname [%s]", className.c_str());
  return className;
}

}  // namespace tqcimutil
