#include "CopyRecord.h"

#include <cstddef>

namespace tqso {

namespace {

const size_t kRecordArray = 0;
const size_t kRecordCopy = 6;
const size_t kRecordCopyPath = 7;
const size_t kRecordChild = 8;
const char kNoChild[] = "EMPTYDEV";

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
