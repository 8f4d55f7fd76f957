#include "stores/store_xml_writer.h"

#include <charconv>

namespace keydeck {

StoreXmlWriter::StoreXmlWriter() : out_("<?xml version=\"1.0\"?>\n") {}

void StoreXmlWriter::Start(int depth, std::string_view tag) {
    Indent(depth);
    out_ += '<';
    out_ += tag;
}

void StoreXmlWriter::Attr(std::string_view name, std::string_view value) {
    out_ += ' ';
    out_ += name;
    out_ += "=\"";
    size_t plain = 0;
    for (size_t i = 0; i < value.size(); ++i) {
        const auto c = static_cast<unsigned char>(value[i]);
        if (c >= 32 && c != '&' && c != '<' && c != '"') continue;
        out_.append(value.substr(plain, i - plain));
        plain = i + 1;
        if (c == 0) {  // the library's strings end there
            plain = value.size();
            break;
        }
        switch (c) {
            case '&':
                out_ += "&amp;";
                break;
            case '<':
                out_ += "&lt;";
                break;
            case '"':
                out_ += "&quot;";
                break;
            default:
                out_ += "&#";
                out_ += static_cast<char>('0' + c / 10);
                out_ += static_cast<char>('0' + c % 10);
                out_ += ';';
        }
    }
    if (plain < value.size()) out_.append(value.substr(plain));
    out_ += '"';
}

void StoreXmlWriter::Attr(std::string_view name, int32_t value) {
    char buf[16];
    const auto r = std::to_chars(buf, buf + sizeof buf, value);
    out_ += ' ';
    out_ += name;
    out_ += "=\"";
    out_.append(buf, r.ptr);
    out_ += '"';
}

void StoreXmlWriter::Attr(std::string_view name, uint32_t value) {
    char buf[16];
    const auto r = std::to_chars(buf, buf + sizeof buf, value);
    out_ += ' ';
    out_ += name;
    out_ += "=\"";
    out_.append(buf, r.ptr);
    out_ += '"';
}

void StoreXmlWriter::Close(int depth, std::string_view tag) {
    Indent(depth);
    out_ += "</";
    out_ += tag;
    out_ += ">\n";
}

}  // namespace keydeck
