// Reads the CIM-XML elements that carry names, paths, values and instances from a parsed document.
// Every problem throws CIMClientXmlException naming the element and its line.
#pragma once
#include <pugixml.hpp>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>
#include "Pegasus/CIMInstance.h"

namespace Pegasus {

class ValueBuilder;

class CimXmlElementReader {
 public:
  // `text` is the document's source, used to turn node offsets into line numbers.
  explicit CimXmlElementReader(const std::string& text) : text_(text) {}

  // Parses `text_` into `document`, keeping whitespace-only values.
  void load(pugi::xml_document& document) const;
  // The same, parsing `text` (the text given at construction, writable) in place rather than a copy;
  // the document's strings then live in `text`.
  void loadInPlace(pugi::xml_document& document, std::string& text) const;
  // Parses the elements in `text`[begin, end) in place as UTF-8, as children of `document`; lines in messages
  // still count from the start of `text`.
  void loadElementsInPlace(pugi::xml_document& document, std::string& text, std::size_t begin, std::size_t end);

  [[noreturn]] void fail(const pugi::xml_node& at, const std::string& what) const;

  // The element children of `node`; stray non-blank text is an error.
  std::vector<pugi::xml_node> elements(const pugi::xml_node& node) const;
  // Calls `visit` with each element child of `node`, in order, checking as `elements` does.
  template <class Visit>
  void forEachElement(const pugi::xml_node& node, Visit visit) const {
    checkBlank(node, node.value());  // text before the first child is kept in the element itself
    for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
      if (child.type() == pugi::node_element)
        visit(child);
      else if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata)
        checkBlank(node, child.value());
    }
  }
  // The one element child of `node`, which must be named `name`.
  pugi::xml_node onlyChild(const pugi::xml_node& node, const char* name) const;
  void expectName(const pugi::xml_node& node, const char* name) const;
  void expectNoChildren(const pugi::xml_node& node) const;
  // A required attribute; `optional` gives "" (and false) when absent.
  std::string required(const pugi::xml_node& node, const char* attribute) const;
  bool optional(const pugi::xml_node& node, const char* attribute, std::string& value) const;
  CIMName name(const pugi::xml_node& node, const char* attribute) const;
  // The character data of a VALUE-like element; child elements are an error.
  std::string text(const pugi::xml_node& node) const;

  CIMNamespaceName localNamespacePath(const pugi::xml_node& node) const;
  CIMObjectPath instanceName(const pugi::xml_node& node) const;
  CIMObjectPath instancePath(const pugi::xml_node& node) const;
  CIMObjectPath localInstancePath(const pugi::xml_node& node) const;
  // CLASSPATH / LOCALCLASSPATH / CLASSNAME: a path without keys.
  CIMObjectPath classPath(const pugi::xml_node& node) const;
  // INSTANCEPATH / LOCALINSTANCEPATH / INSTANCENAME or a class path form.
  CIMObjectPath anyPath(const pugi::xml_node& node) const;
  // VALUE.REFERENCE.
  CIMObjectPath valueReference(const pugi::xml_node& node) const;

  // VALUE / VALUE.ARRAY / VALUE.REFERENCE / VALUE.REFARRAY as a value of `type`
  // (VALUE.REFERENCE and VALUE.REFARRAY are references whatever the type says).
  CIMValue value(const pugi::xml_node& node, CIMType type) const;
  bool isValueElement(const pugi::xml_node& node) const;
  // A TYPE / PARAMTYPE attribute value as a type.
  CIMType typeNamed(const pugi::xml_node& at, const std::string& name) const;

  CIMInstance instance(const pugi::xml_node& node) const;
  // VALUE.NAMEDINSTANCE: the instance with its INSTANCENAME as path.
  CIMInstance namedInstance(const pugi::xml_node& node) const;

 private:
  // A name read once per document: the shared name and the number of its case-folded spelling.
  struct KnownName {
    CIMName name;
    Uint32 foldedId;
  };

  void checkBlank(const pugi::xml_node& parent, const char* text) const;
  // The PROPERTY, PROPERTY.ARRAY and PROPERTY.REFERENCE attributes that are read; absent ones are empty.
  struct PropertyAttributes {
    pugi::xml_attribute name, type, classOrigin, referenceClass, propagated, arraySize;
  };

  const KnownName& knownName(const pugi::xml_node& node, const char* attribute) const;
  // The name in `found`, the attribute `attribute` of `node`.
  const KnownName& knownName(const pugi::xml_node& node, const pugi::xml_attribute& found, const char* attribute) const;
  static PropertyAttributes propertyAttributes(const pugi::xml_node& node);
  CIMKeyBinding keyBinding(const pugi::xml_node& node) const;
  // A property; `foldedId` tells its name apart from others ignoring case.
  CIMProperty property(const pugi::xml_node& node, Uint32& foldedId) const;
  // Adds the text of the VALUE element `node` to the builder; fails when it is not a value of `type`.
  void addValueText(ValueBuilder& builder, const pugi::xml_node& node, CIMType type) const;
  CIMValue scalarValue(const pugi::xml_node& node, CIMType type) const;
  CIMValue arrayValue(const pugi::xml_node& node, CIMType type) const;
  CIMValue referenceArray(const pugi::xml_node& node) const;
  // Shares `value` with the previous instance's value of the same property when the two are the same text.
  void shareRepeatedValue(Uint32 foldedId, CIMValue& value) const;
  unsigned lineOf(const pugi::xml_node& node) const;
  void checkParsed(const pugi::xml_parse_result& result) const;

  const std::string& text_;
  // Where in `text_` the parsed buffer starts.
  std::size_t base_ = 0;
  // How many VALUE.REFERENCE elements enclose the one being read (references nest through reference keys).
  mutable int referenceDepth_ = 0;
  // Names seen in this document, keyed by their text (views into the names' own storage).
  mutable std::unordered_map<std::string_view, KnownName> names_;
  mutable std::unordered_map<std::string, Uint32> foldedIds_;
  // Per folded name, the number of the last instance that had it: duplicates show in one pass.
  mutable std::vector<Uint32> lastInstanceWith_;
  // Per folded name, the value the last instance with that property had.
  mutable std::vector<CIMValue> lastValueOf_;
  mutable Uint32 instanceCount_ = 0;
};

}  // namespace Pegasus
