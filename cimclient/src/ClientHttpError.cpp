#include "Pegasus/Exception.h"

namespace Pegasus {

namespace {

// "HTTP Error (<status>[ <reason>])[: [CIMError = "<error>"][ Detail = "<detail>"]]."
String httpErrorText(Uint32 status, const String& reason, const String& cimError, const String& detail) {
  String text = "HTTP Error (" + String(std::to_string(status));
  if (!reason.isEmpty()) text += " " + reason;
  text += ")";
  if (!cimError.isEmpty() || !detail.isEmpty()) {
    text += ":";
    if (!cimError.isEmpty()) text += " CIMError = \"" + cimError + "\"";
    if (!detail.isEmpty()) text += " Detail = \"" + detail + "\"";
  }
  return text + ".";
}

}  // namespace

CIMClientHTTPErrorException::CIMClientHTTPErrorException(Uint32 httpStatus, const String& reason,
                                                         const String& cimError, const String& cimErrorDetail)
    : Exception(httpErrorText(httpStatus, reason, cimError, cimErrorDetail)),
      status_(httpStatus),
      cimError_(cimError),
      cimErrorDetail_(cimErrorDetail) {}

std::string faultTextWithHttpsHint(const std::string& message, bool overHttps) {
  if (!overHttps && message.find("Connection closed") != std::string::npos)
    return message + " (sent over HTTP: does the provider expect HTTPS?)";
  return message;
}

}  // namespace Pegasus
