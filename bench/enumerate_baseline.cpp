// The limit a CIM client can reach: libcurl fetches the canned answer into one buffer, pugixml parses it in
// place, and every VALUE's text is read. Usage: enumerate_baseline PORT VOLUMES [--warm N]
#include <curl/curl.h>
#include <pugixml.hpp>

#include <cstring>
#include <string>

#include "RepeatedFetch.h"

namespace {

const char* const kRequest =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?><CIM CIMVERSION=\"2.0\" DTDVERSION=\"2.0\">"
    "<MESSAGE ID=\"1000\" PROTOCOLVERSION=\"1.0\"><SIMPLEREQ><IMETHODCALL NAME=\"EnumerateInstances\">"
    "<LOCALNAMESPACEPATH><NAMESPACE NAME=\"root\"/><NAMESPACE NAME=\"tpd\"/></LOCALNAMESPACEPATH>"
    "<IPARAMVALUE NAME=\"ClassName\"><CLASSNAME NAME=\"TPD_StorageVolume\"/></IPARAMVALUE>"
    "</IMETHODCALL></SIMPLEREQ></MESSAGE></CIM>";

struct Fetch {
  CURL* handle;
  std::string body;
};

// Appends a piece of the body, sizing the buffer once from Content-Length.
size_t collect(char* data, size_t size, size_t count, void* target) {
  Fetch& fetch = *static_cast<Fetch*>(target);
  if (fetch.body.empty()) {
    curl_off_t length = 0;
    if (curl_easy_getinfo(fetch.handle, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length) == CURLE_OK && length > 0)
      fetch.body.reserve(static_cast<std::size_t>(length));
  }
  fetch.body.append(data, size * count);
  return size * count;
}

// Every VALUE's text below `node`, counted in bytes; the VALUE.NAMEDINSTANCE elements counted in `objects`.
std::size_t walk(const pugi::xml_node& node, std::size_t& objects) {
  std::size_t bytes = 0;
  for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
    if (child.type() != pugi::node_element) continue;
    if (std::strcmp(child.name(), "VALUE") == 0) bytes += std::strlen(child.child_value());
    if (std::strcmp(child.name(), "VALUE.NAMEDINSTANCE") == 0) ++objects;
    bytes += walk(child, objects);
  }
  return bytes;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: enumerate_baseline PORT VOLUMES [--warm N]\n");
    return 2;
  }
  const std::string url = std::string("http://127.0.0.1:") + argv[1] + "/cimom";
  curl_global_init(CURL_GLOBAL_DEFAULT);
  CURL* handle = curl_easy_init();
  curl_slist* headers = nullptr;
  headers = curl_slist_append(headers, "Content-Type: application/xml; charset=\"utf-8\"");
  headers = curl_slist_append(headers, "CIMOperation: MethodCall");
  headers = curl_slist_append(headers, "CIMMethod: EnumerateInstances");
  headers = curl_slist_append(headers, "CIMObject: root%2Ftpd");
  curl_easy_setopt(handle, CURLOPT_URL, url.c_str());
  curl_easy_setopt(handle, CURLOPT_HTTPHEADER, headers);
  curl_easy_setopt(handle, CURLOPT_POSTFIELDS, kRequest);
  curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, collect);
  const int status = bench::runFetches(argc, argv, std::stoul(argv[2]), [&] {
    Fetch fetch{handle, std::string()};
    std::string& body = fetch.body;
    curl_easy_setopt(handle, CURLOPT_WRITEDATA, &fetch);
    if (curl_easy_perform(handle) != CURLE_OK) return std::size_t(0);
    pugi::xml_document document;
    if (!document.load_buffer_inplace(&body[0], body.size())) return std::size_t(0);
    std::size_t objects = 0;
    walk(document, objects);
    return objects;
  });
  curl_slist_free_all(headers);
  curl_easy_cleanup(handle);
  return status;
}
