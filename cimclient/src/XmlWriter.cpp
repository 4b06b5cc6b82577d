// XmlWriter: escaping for element text and attribute values.
#include "XmlWriter.h"

#include <cstdio>
#include "Pegasus/Exception.h"

namespace Pegasus {

void XmlWriter::open(const char* tag)
{
    if (!stack_.empty()) finishStartTag();
    out_ += '<';
    out_ += tag;
    stack_.push_back({tag, false});
}

void XmlWriter::attribute(const char* name, const std::string& value)
{
    out_ += ' ';
    out_ += name;
    out_ += "=\"";
    escape(value, true);
    out_ += '"';
}

void XmlWriter::text(const std::string& value)
{
    finishStartTag();
    escape(value, false);
}

void XmlWriter::close()
{
    const Open top = stack_.back();
    stack_.pop_back();
    if (!top.startTagClosed) {
        out_ += "/>";
        return;
    }
    out_ += "</";
    out_ += top.tag;
    out_ += '>';
}

void XmlWriter::emptyElement(const char* tag, const char* attributeName, const std::string& value)
{
    open(tag);
    attribute(attributeName, value);
    close();
}

void XmlWriter::finishStartTag()
{
    Open& top = stack_.back();
    if (!top.startTagClosed) {
        out_ += '>';
        top.startTagClosed = true;
    }
}

void XmlWriter::escape(const std::string& value, bool inAttribute)
{
    for (char c : value) {
        switch (c) {
        case '&': out_ += "&amp;"; break;
        case '<': out_ += "&lt;"; break;
        case '>': out_ += "&gt;"; break;
        case '"': out_ += inAttribute ? "&quot;" : "\""; break;
        case '\'': out_ += inAttribute ? "&apos;" : "'"; break;
        // Parsers normalise these in attributes and turn a raw CR into LF; character references keep them.
        case '\r': out_ += "&#13;"; break;
        case '\n': out_ += inAttribute ? "&#10;" : "\n"; break;
        case '\t': out_ += inAttribute ? "&#9;" : "\t"; break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char code[8];
                std::snprintf(code, sizeof code, "0x%02X", static_cast<unsigned>(static_cast<unsigned char>(c)));
                throw CIMClientXmlException(std::string("control character ") + code + " cannot be written in XML");
            }
            out_ += c;
        }
    }
}

}  // namespace Pegasus
