// The lenient reader: small token readers that report success as a boolean and leave the cursor
// where the next attempt starts, and the value, array and object readers built on them.
#pragma once

#include "cursor.h"
#include "jsonxx.h"

namespace jsonxx::detail {

class Reader {
 public:
  // A literal token; "//" comments may stand before it and between its characters. On a mismatch
  // the cursor goes back to the token's first character; when the input ends, what matched stays read.
  static bool match(const char* pattern, Cursor& in);
  // One "//" comment up to the line break, and the white space after it.
  static bool parse_comment(Cursor& in);
  // A double- or single-quoted string, appended to `value`.
  static bool parse_string(Cursor& in, String& value);
  // An unquoted identifier up to a ':'.
  static bool parse_identifier(Cursor& in, String& value);
  static bool parse_number(Cursor& in, Number& value);
  static bool parse_bool(Cursor& in, Boolean& value);
  // "null", or nothing before a ',' (an empty element).
  static bool parse_null(Cursor& in);
  static bool parse_value(Cursor& in, Value& value);
  static bool parse_array(Cursor& in, Array& array);
  static bool parse_object(Cursor& in, Object& object);

  // Skips every leading byte up to 0x20, as the document entry points do.
  static void skip_leading_controls(Cursor& in);
  // Whether the input begins with a well-formed object or array.
  static bool validate(Cursor& in);

 private:
  static void skip_space(Cursor& in);
  static void append_escape(Cursor& in, char delimiter, String& value);
  static void append_unicode_escape(Cursor& in, String& value);
};

}  // namespace jsonxx::detail
