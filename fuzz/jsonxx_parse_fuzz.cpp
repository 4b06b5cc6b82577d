// Fuzz entry point of the JSON reader: every reader on the input, every writer on what was read,
// and the properties that must hold whatever the input:
//  - the stream and string forms of a reader agree;
//  - indented JSON of whatever was read (a partial document too) reads back, and writing that again
//    is stable;
//  - XML output in each layout is well-formed.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "jsonxx.h"
#include "render.h"
#include "xml_check.h"

namespace {

void require(bool holds, const char* property) {
  if (!holds) {
    std::fprintf(stderr, "property violated: %s\n", property);
    std::abort();
  }
}

template <typename Document>
void check_stream_form_agrees(const std::string& text, bool parsed, const Document& read) {
  std::istringstream input(text);
  Document from_stream;
  require(from_stream.parse(input) == parsed, "stream and string parse results agree");
  require(compact(from_stream) == compact(read), "stream and string parses read the same document");
}

template <typename Document>
void check_json_reads_back(const Document& read) {
  const std::string first = read.json();
  Document again;
  require(again.parse(first), "indented JSON reads back");
  const std::string second = again.json();
  Document third;
  require(third.parse(second), "indented JSON reads back a second time");
  require(third.json() == second, "indented JSON is stable once written");
}

template <typename Document>
void check_xml_well_formed(const Document& read) {
  for (unsigned format = jsonxx::JSONx; format <= jsonxx::TaggedXML; ++format) {
    const std::string written = read.xml(format);
    const std::string header = jsonxx_xml::defheader[format];
    require(written.compare(0, header.size(), header) == 0, "XML starts with the default header");
    require(count_top_level_elements(written.substr(header.size())) >= 0, "XML is well-formed");
  }
}

template <typename Document>
void check_document(const std::string& text) {
  Document read;
  const bool parsed = read.parse(text);
  check_stream_form_agrees(text, parsed, read);
  check_json_reads_back(read);
  check_xml_well_formed(read);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);

  check_document<jsonxx::Object>(text);
  check_document<jsonxx::Array>(text);

  jsonxx::Value value;
  if (value.parse(text)) {
    require(!value.empty(), "a value read is not empty");
    (void)compact(value);
    (void)jsonxx::json::tag(0, 0, "k", value);
    (void)jsonxx_xml::tag(jsonxx::TaggedXML, 0, "k", value);
  } else {
    require(value.empty(), "a value that failed to read is invalid");
  }

  const bool valid = jsonxx::validate(text);
  require(jsonxx::reformat(text).empty() != valid, "reformat writes exactly what validate accepts");
  (void)jsonxx::xml(text, jsonxx::JXMLex);
  return 0;
}
