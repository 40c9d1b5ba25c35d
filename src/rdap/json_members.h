#pragma once
// Typed access to the members of an untrusted JSON object: a member that is
// absent or of another type reads as absent. Private to the rdap module.

#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace torvane::rdap {

using Json = nlohmann::json;

// The member `key` of `value` when `value` is an object holding it; else null.
inline const Json* Member(const Json& value, const char* key) {
    if (!value.is_object()) return nullptr;
    const auto found = value.find(key);
    return found == value.end() ? nullptr : &*found;
}

inline const std::string* StringMember(const Json& value, const char* key) {
    const Json* member = Member(value, key);
    return member != nullptr && member->is_string() ? &member->get_ref<const std::string&>() : nullptr;
}

inline const Json* ArrayMember(const Json& value, const char* key) {
    const Json* member = Member(value, key);
    return member != nullptr && member->is_array() ? member : nullptr;
}

inline const Json* ObjectMember(const Json& value, const char* key) {
    const Json* member = Member(value, key);
    return member != nullptr && member->is_object() ? member : nullptr;
}

// A string as it is, a whole number in decimal; empty for anything else.
inline std::string ScalarText(const Json& value) {
    if (value.is_string()) return value.get<std::string>();
    if (value.is_number_integer() || value.is_number_unsigned()) return value.dump();
    return {};
}

inline bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

}  // namespace torvane::rdap
