// The exception hierarchy of the CIM client. The engine tests substrings of these messages:
// a refused connect says "Connection failed", a timeout "timed out", a non-200 answer "HTTP"
// and its status code, a bad object path "malformed".
#pragma once
#include <string>

#include "Pegasus/CIMStatusCode.h"
#include "Pegasus/String.h"

namespace Pegasus {

class Exception {
 public:
  explicit Exception(const String& message) : message_(message) {}
  virtual ~Exception() = default;
  virtual const String& getMessage() const { return message_; }

 private:
  String message_;
};

// An ERROR element in a CIM-XML response; the message is its DESCRIPTION.
class CIMException : public Exception {
 public:
  explicit CIMException(CIMStatusCode code, const String& message = String()) : Exception(message), code_(code) {}
  CIMStatusCode getCode() const { return code_; }

 private:
  CIMStatusCode code_;
};

// "Cannot connect to <host>:<port>. Connection failed."
class CannotConnectException : public Exception {
 public:
  explicit CannotConnectException(const String& message) : Exception(message) {}
};

// "already connected"
class AlreadyConnectedException : public Exception {
 public:
  AlreadyConnectedException() : Exception("already connected") {}
};

// "not connected": an operation on a client that holds no connection.
class NotConnectedException : public Exception {
 public:
  NotConnectedException() : Exception("not connected") {}
};

// "connection timed out"
class ConnectionTimeoutException : public Exception {
 public:
  ConnectionTimeoutException() : Exception("connection timed out") {}
};

// "HTTP Error (<status> <reason>)." with optional CIMError header and detail.
class CIMClientHTTPErrorException : public Exception {
 public:
  CIMClientHTTPErrorException(Uint32 httpStatus, const String& reason, const String& cimError = String(),
                              const String& cimErrorDetail = String());
  Uint32 getCode() const { return status_; }
  const String& getCIMError() const { return cimError_; }
  const String& getCIMErrorDetail() const { return cimErrorDetail_; }

 private:
  Uint32 status_;
  String cimError_;
  String cimErrorDetail_;
};

// HTTP-level problems of a 200 answer: missing CIMOperation header, connection closed, body too large.
class CIMClientMalformedHTTPException : public Exception {
 public:
  explicit CIMClientMalformedHTTPException(const String& message) : Exception(message) {}
};

// "Connection closed by CIM Server.": the connection closed before the whole answer came. The server may have
// acted on the request.
class ConnectionLostException : public CIMClientMalformedHTTPException {
 public:
  ConnectionLostException() : CIMClientMalformedHTTPException("Connection closed by CIM Server.") {}
};

// The same message when the connection closed before the whole request was sent: the server cannot have
// acted on it.
class RequestNotSentException : public ConnectionLostException {};

// A fault's message as it is reported, with a hint when a request sent over plain HTTP had its connection closed
// unanswered: an HTTPS port does that to it.
std::string faultTextWithHttpsHint(const std::string& message, bool overHttps);

// A response body that is not well-formed or not valid CIM-XML.
class CIMClientXmlException : public Exception {
 public:
  explicit CIMClientXmlException(const String& message) : Exception(message) {}
};

// A well-formed response that does not answer the request (wrong MESSAGE ID, bad value).
class CIMClientResponseException : public Exception {
 public:
  explicit CIMClientResponseException(const String& message) : Exception(message) {}
};

// "malformed object name: <text>, reason:"<why>""
class MalformedObjectNameException : public Exception {
 public:
  explicit MalformedObjectNameException(const String& message) : Exception(message) {}
};

// "The CIM name is not valid: <name>"
class InvalidNameException : public Exception {
 public:
  explicit InvalidNameException(const String& name) : Exception("The CIM name is not valid: " + name) {}
};

// "invalid CIM namespace name: <name>"
class InvalidNamespaceNameException : public Exception {
 public:
  explicit InvalidNamespaceNameException(const String& name) : Exception("invalid CIM namespace name: " + name) {}
};

// "type mismatch": CIMValue::get into a C++ type that is not the value's CIM type.
class TypeMismatchException : public Exception {
 public:
  TypeMismatchException() : Exception("type mismatch") {}
};

// Index out of range (CIMInstance::getProperty and the like).
class IndexOutOfBoundsException : public Exception {
 public:
  IndexOutOfBoundsException() : Exception("index out of bounds") {}
};

// "SSL Exception: <detail>"
class SSLException : public Exception {
 public:
  explicit SSLException(const String& detail) : Exception("SSL Exception: " + detail) {}
};

// "invalid datetime format: <text>": a CIMDateTime built from a text that is not a datetime.
class InvalidDateTimeFormatException : public Exception {
 public:
  explicit InvalidDateTimeFormatException(const String& text) : Exception("invalid datetime format: " + text) {}
};

// "already exists: <name>": CIMInstance::addProperty with a name the instance already has.
class AlreadyExistsException : public Exception {
 public:
  explicit AlreadyExistsException(const String& what) : Exception("already exists: " + what) {}
};

}  // namespace Pegasus
