// A CIM datetime, carried as its 25-character text: a timestamp "yyyymmddhhmmss.mmmmmmsutc"
// (s is '+' or '-', utc the offset in minutes) or an interval "ddddddddhhmmss.mmmmmm:000".
#pragma once
#include "Pegasus/String.h"

namespace Pegasus {

class CIMDateTime {
 public:
  // The zero interval "00000000000000.000000:000".
  CIMDateTime();
  // Throws InvalidDateTimeFormatException when the text is not a datetime.
  CIMDateTime(const String& text);
  CIMDateTime(const char* text);

  String toString() const { return text_; }
  Boolean isInterval() const { return text_[21] == ':'; }

  static Boolean legal(const String& text);

  friend Boolean operator==(const CIMDateTime& a, const CIMDateTime& b) { return a.text_ == b.text_; }
  friend Boolean operator!=(const CIMDateTime& a, const CIMDateTime& b) { return !(a == b); }

 private:
  String text_;
};

}  // namespace Pegasus
