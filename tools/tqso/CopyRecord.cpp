#include "CopyRecord.h"

#include <algorithm>
#include <cstddef>
#include <vector>

namespace tqso {

namespace {

const size_t kRecordArray = 0;
const size_t kRecordCopy = 6;
const size_t kRecordCopyPath = 7;
const size_t kRecordChild = 8;
const char kNoChild[] = "EMPTYDEV";
const char kNoChildPath[] = "EMPTYPATH";
const size_t kRecordFields = 12;
const size_t kOlderRecordFields = 10;
const char kSnapshotOperation[] = "4";
const char kCloneOperation[] = "5";
const char kRecordVersion[] = "1";
const char kNoFlags[] = "0";

// Field `index` of the record; "" when it has fewer.
std::string RecordField(const std::string& record, size_t index) {
  size_t start = 0;
  for (size_t i = 0; i < index; ++i) {
    start = record.find('*', start);
    if (start == std::string::npos) return "";
    ++start;
  }
  const size_t end = record.find('*', start);
  return record.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

}  // namespace

bool IsCopyRecord(const std::string& text) {
  const size_t fields = static_cast<size_t>(std::count(text.begin(), text.end(), '*')) + 1;
  return fields == kRecordFields || fields == kOlderRecordFields;
}

std::string RecordOfCopy(const KnownCopy& known) {
  // array, operation, service path, source, source path, pool path, copy, copy path, child, child path,
  // version, flags
  const std::vector<std::string> fields = {known.array,
                                           known.clone ? kCloneOperation : kSnapshotOperation,
                                           "",
                                           known.source,
                                           "",
                                           "",
                                           known.copy,
                                           "",
                                           kNoChild,
                                           kNoChildPath,
                                           kRecordVersion,
                                           kNoFlags};
  std::string record;
  for (size_t i = 0; i < fields.size(); ++i) record += (i == 0 ? "" : "*") + fields[i];
  return record;
}

CopyFields CopyFieldsOf(const std::string& record) {
  CopyFields fields;
  fields.array = RecordField(record, kRecordArray);
  fields.copy = RecordField(record, kRecordCopy);
  fields.copyPath = RecordField(record, kRecordCopyPath);
  fields.child = RecordField(record, kRecordChild);
  if (fields.child == kNoChild) fields.child.clear();
  return fields;
}

}  // namespace tqso
