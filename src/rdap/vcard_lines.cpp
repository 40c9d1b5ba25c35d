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

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string Trimmed(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return std::string(text);
}

void AppendPart(std::string& text, std::string_view part) {
    const std::string piece = Trimmed(part);
    if (piece.empty()) return;
    if (!text.empty()) text += ", ";
    text += piece;
}

// Strings joined by ", ", empty parts left out; nested arrays (a structured
// part with several values) flattened one level.
std::string JoinedParts(const Json& value) {
    if (value.is_string()) return Trimmed(value.get_ref<const std::string&>());
    std::string text;
    if (!value.is_array()) return text;
    for (const Json& part : value) {
        if (part.is_array() || part.is_string()) AppendPart(text, JoinedParts(part));
    }
    return text;
}

// The lines of an adr label joined by ", ". Some registries leave vCard's
// escaped line break ("\\n", two characters) in the label; it breaks a line
// there too.
std::string JoinedLabel(const std::string& label) {
    std::string text;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= label.size(); ++i) {
        const bool end = i == label.size();
        const bool escaped = !end && label[i] == '\\' && i + 1 < label.size() &&
                             (label[i + 1] == 'n' || label[i + 1] == 'N');
        if (!end && !escaped && label[i] != '\n' && label[i] != '\r') continue;
        AppendPart(text, std::string_view(label).substr(start, i - start));
        if (escaped) ++i;
        start = i + 1;
    }
    return text;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

std::string PhoneLabel(const Json& parameters, std::string_view value) {
    const Json* type = Member(parameters, "type");
    std::string types = type == nullptr ? std::string() : JoinedParts(*type);
    // LACNIC writes a fax number as "fax:..." with no type: the scheme was
    // its only mark.
    if (StartsWithNoCase(Trimmed(value), "fax:") && types.find("fax") == std::string::npos) {
        types = types.empty() ? "fax" : types + ", fax";
    }
    return types.empty() ? "Phone" : "Phone (" + types + ")";
}

void WriteProperty(const Json& property, const std::string& name, int level, LineWriter& out) {
    const Json& parameters = property[1];
    const Json& value = property[3];
    const auto field = [&](std::string_view label, const std::string& text) {
        if (!text.empty()) out.Field(level, label, text);
    };
    if (EqualsNoCase(name, "org")) {
        field("Organization", JoinedParts(value));
    } else if (EqualsNoCase(name, "adr")) {
        const std::string* label = StringMember(parameters, "label");
        const std::string fromLabel = label != nullptr ? JoinedLabel(*label) : std::string();
        field("Address", fromLabel.empty() ? JoinedParts(value) : fromLabel);
    } else if (EqualsNoCase(name, "email")) {
        if (value.is_string()) field("Email", Trimmed(value.get_ref<const std::string&>()));
    } else if (EqualsNoCase(name, "tel")) {
        if (!value.is_string()) return;
        const std::string& text = value.get_ref<const std::string&>();
        field(PhoneLabel(parameters, text), PhoneText(text));
    }
}

}  // namespace

std::string PhoneText(std::string_view value) {
    const std::string text = Trimmed(value);
    std::string_view uri = text;
    if (StartsWithNoCase(uri, "tel:") || StartsWithNoCase(uri, "fax:")) {
        uri.remove_prefix(4);
    } else {
        return text;
    }
    // tel URI (RFC 3966): the number, then ";name=value" parameters; only
    // the extension means anything to a reader.
    const std::size_t semicolon = uri.find(';');
    std::string phone = Trimmed(uri.substr(0, semicolon));
    std::size_t at = semicolon;
    while (at != std::string_view::npos) {
        const std::size_t next = uri.find(';', at + 1);
        const std::string_view parameter = uri.substr(at + 1, next == std::string_view::npos ? next : next - at - 1);
        if (StartsWithNoCase(parameter, "ext=") && parameter.size() > 4) {
            phone += " ext. " + Trimmed(parameter.substr(4));
        }
        at = next;
    }
    return phone;
}

std::string VcardFormattedName(const Json& vcardArray) {
    const Json* properties = Properties(vcardArray);
    if (properties == nullptr) return {};
    for (const Json& property : *properties) {
        const std::string* name = PropertyName(property);
        if (name != nullptr && EqualsNoCase(*name, "fn") && property[3].is_string()) {
            return Trimmed(property[3].get_ref<const std::string&>());
        }
    }
    return {};
}

namespace {

const Json* FirstOrganization(const Json& vcardArray) {
    const Json* properties = Properties(vcardArray);
    if (properties == nullptr) return nullptr;
    for (const Json& property : *properties) {
        const std::string* name = PropertyName(property);
        if (name != nullptr && EqualsNoCase(*name, "org") && !JoinedParts(property[3]).empty()) {
            return &property;
        }
    }
    return nullptr;
}

}  // namespace

std::string VcardOrganization(const Json& vcardArray) {
    const Json* org = FirstOrganization(vcardArray);
    return org != nullptr ? JoinedParts((*org)[3]) : std::string();
}

void WriteVcard(const Json& vcardArray, int level, LineWriter& out, bool skipFirstOrganization) {
    const Json* properties = Properties(vcardArray);
    if (properties == nullptr) return;
    const Json* skipped = skipFirstOrganization ? FirstOrganization(vcardArray) : nullptr;
    for (const Json& property : *properties) {
        if (out.Full()) return;
        if (&property == skipped) continue;
        const std::string* name = PropertyName(property);
        if (name != nullptr) WriteProperty(property, *name, level, out);
    }
}

}  // namespace torvane::rdap
