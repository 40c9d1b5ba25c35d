#include "rdap/vcard_lines.h"

namespace torvane::rdap {
namespace {

const Json* Properties(const Json& vcardArray) {
    if (!vcardArray.is_array() || vcardArray.size() < 2 || !vcardArray[1].is_array()) return nullptr;
    return &vcardArray[1];
}

// A property is [name, parameters, type, value...]; nullptr for another shape.
const std::string* PropertyName(const Json& property) {
    if (!property.is_array() || property.size() < 4 || !property[0].is_string()) return nullptr;
    return &property[0].get_ref<const std::string&>();
}

// Strings joined by ", ", empty parts left out; nested arrays (a structured
// part with several values) flattened one level.
std::string JoinedParts(const Json& value) {
    if (value.is_string()) return value.get<std::string>();
    std::string text;
    if (!value.is_array()) return text;
    for (const Json& part : value) {
        const std::string piece = part.is_array() || part.is_string() ? JoinedParts(part) : std::string();
        if (piece.empty()) continue;
        if (!text.empty()) text += ", ";
        text += piece;
    }
    return text;
}

// Some registries leave vCard's escaped line break ("\\n", two characters)
// in the label; it means a line break there too.
std::string WithVcardLineBreaks(const std::string& label) {
    std::string text;
    text.reserve(label.size());
    for (std::size_t i = 0; i < label.size(); ++i) {
        if (label[i] == '\\' && i + 1 < label.size() && (label[i + 1] == 'n' || label[i + 1] == 'N')) {
            text += '\n';
            ++i;
        } else {
            text += label[i];
        }
    }
    return text;
}

std::string TelTypes(const Json& parameters) {
    const Json* type = Member(parameters, "type");
    return type == nullptr ? std::string() : JoinedParts(*type);
}

void WriteProperty(const Json& property, const std::string& name, int level, LineWriter& out) {
    const Json& parameters = property[1];
    const Json& value = property[3];
    if (EqualsNoCase(name, "org")) {
        out.Field(level, "Organization", JoinedParts(value));
    } else if (EqualsNoCase(name, "adr")) {
        const std::string* label = StringMember(parameters, "label");
        if (label != nullptr && !label->empty()) {
            out.MultiLineField(level, "Address", WithVcardLineBreaks(*label));
        } else {
            out.Field(level, "Address", JoinedParts(value));
        }
    } else if (EqualsNoCase(name, "email")) {
        if (value.is_string()) out.Field(level, "Email", value.get_ref<const std::string&>());
    } else if (EqualsNoCase(name, "tel")) {
        if (!value.is_string()) return;
        const std::string types = TelTypes(parameters);
        out.Field(level, types.empty() ? "Phone" : "Phone (" + types + ")",
                  value.get_ref<const std::string&>());
    }
}

}  // namespace

std::string VcardFormattedName(const Json& vcardArray) {
    const Json* properties = Properties(vcardArray);
    if (properties == nullptr) return {};
    for (const Json& property : *properties) {
        const std::string* name = PropertyName(property);
        if (name != nullptr && EqualsNoCase(*name, "fn") && property[3].is_string()) {
            return property[3].get<std::string>();
        }
    }
    return {};
}

void WriteVcard(const Json& vcardArray, int level, LineWriter& out) {
    const Json* properties = Properties(vcardArray);
    if (properties == nullptr) return;
    for (const Json& property : *properties) {
        if (out.Full()) return;
        const std::string* name = PropertyName(property);
        if (name != nullptr) WriteProperty(property, *name, level, out);
    }
}

}  // namespace torvane::rdap
