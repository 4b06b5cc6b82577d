// The answer to GetClass: a class with its key properties and its methods' parameters, which clients that send
// untyped parameters (such as wbemcli) read before they call a method.
#pragma once
#include <string>

namespace smissim {

// The complete response document. Throws CIMException(CIM_ERR_INVALID_CLASS) for an unknown class.
std::string getClassResponse(const std::string& messageId, const std::string& className);

// The CLASS element of one class: its key properties and its methods with their parameters.
struct ClassInfo;
std::string classXml(const ClassInfo& info);

// A whole intrinsic response document around the IRETURNVALUE content.
std::string intrinsicResponse(const std::string& messageId, const char* method, const std::string& returnValue);

// Text with the characters XML reserves escaped (attribute-safe).
std::string xmlEscape(const std::string& text);

}  // namespace smissim
