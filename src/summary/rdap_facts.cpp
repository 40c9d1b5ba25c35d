#include "summary/rdap_facts.h"

#include <deque>
#include <optional>
#include <string>

#include "rdap/json_input.h"
#include "rdap/json_members.h"
#include "rdap/render.h"
#include "summary/port43_facts.h"
#include "summary/value_text.h"

namespace torvane::summary {
namespace {

using rdap::ArrayMember;
using rdap::EqualsNoCase;
using rdap::Json;
using rdap::Member;
using rdap::ObjectMember;
using rdap::ScalarText;
using rdap::StringMember;

class TFacts {
  public:
    void Add(Field field, std::string_view value, bool redacted = false) {
        std::string text = ValueText(value);
        if (text.empty()) return;
        facts_.push_back(RawFact{field, std::move(text), redacted});
    }
    std::vector<RawFact> Take() { return std::move(facts_); }

  private:
    std::vector<RawFact> facts_;
};

bool HasRole(const Json& entity, std::string_view role) {
    const Json* roles = ArrayMember(entity, "roles");
    if (roles == nullptr) return false;
    for (const Json& item : *roles) {
        if (item.is_string() && EqualsNoCase(item.get_ref<const std::string&>(), role)) return true;
    }
    return false;
}

// The card's properties, each [name, parameters, type, value...]; nullptr
// for a card of another shape.
const Json* CardProperties(const Json& entity) {
    const Json* card = ArrayMember(entity, "vcardArray");
    if (card == nullptr || card->size() < 2 || !(*card)[1].is_array()) return nullptr;
    return &(*card)[1];
}

bool IsProperty(const Json& property, std::string_view name) {
    return property.is_array() && property.size() >= 4 && property[0].is_string() &&
           EqualsNoCase(property[0].get_ref<const std::string&>(), name);
}

// A text value, or a structured one (org may be ["Example Inc.", "Unit"])
// by its first part.
std::string PropertyText(const Json& value) {
    if (value.is_string()) return value.get<std::string>();
    if (value.is_array() && !value.empty() && value[0].is_string())
        return value[0].get<std::string>();
    return {};
}

// The first non-blank value of the card's property `name`.
std::string CardText(const Json& entity, std::string_view name) {
    const Json* properties = CardProperties(entity);
    if (properties == nullptr) return {};
    for (const Json& property : *properties) {
        if (!IsProperty(property, name)) continue;
        std::string text = ValueText(PropertyText(property[3]));
        if (!text.empty()) return text;
    }
    return {};
}

bool HasTypeParameter(const Json& property, std::string_view type) {
    const Json* types = Member(property[1], "type");
    if (types == nullptr) return false;
    if (types->is_string()) return EqualsNoCase(types->get_ref<const std::string&>(), type);
    if (!types->is_array()) return false;
    for (const Json& item : *types) {
        if (item.is_string() && EqualsNoCase(item.get_ref<const std::string&>(), type)) return true;
    }
    return false;
}

// A tel value is a "tel:" URI in most cards; the number is what a reader
// dials.
std::string PhoneNumber(std::string_view uri) {
    if (uri.size() >= 4 && EqualsNoCase(uri.substr(0, 4), "tel:")) uri.remove_prefix(4);
    return ValueText(uri);
}

// An abuse card's mail address: the one typed "abuse" where a card has
// several (RIPE lists the operations address first), else the first; else
// its first voice (not fax) number.
std::string AbuseContact(const Json& entity) {
    const Json* properties = CardProperties(entity);
    if (properties == nullptr) return {};
    std::string firstMail;
    std::string firstPhone;
    for (const Json& property : *properties) {
        if (IsProperty(property, "email") && property[3].is_string()) {
            std::string mail = ValueText(property[3].get_ref<const std::string&>());
            if (mail.empty()) continue;
            if (HasTypeParameter(property, "abuse")) return mail;
            if (firstMail.empty()) firstMail = std::move(mail);
        } else if (IsProperty(property, "tel") && property[3].is_string() && firstPhone.empty() &&
                   !HasTypeParameter(property, "fax")) {
            const std::string& value = property[3].get_ref<const std::string&>();
            if (value.size() >= 4 && EqualsNoCase(std::string_view(value).substr(0, 4), "fax:"))
                continue;
            firstPhone = PhoneNumber(value);
        }
    }
    return !firstMail.empty() ? firstMail : firstPhone;
}

// The first top-level entity with `role`.
const Json* EntityWithRole(const Json& object, std::string_view role) {
    const Json* entities = ArrayMember(object, "entities");
    if (entities == nullptr) return nullptr;
    for (const Json& entity : *entities) {
        if (HasRole(entity, role)) return &entity;
    }
    return nullptr;
}

// The abuse contact: the nearest entity with the abuse role that gives a
// mail address or number, breadth first, so a registry's own contact comes
// before one nested in the registrar's or the holder's entity. The parser's
// depth limit bounds the nesting; each entity is visited once.
std::string FindAbuse(const Json& object) {
    std::deque<const Json*> pending;
    pending.push_back(&object);
    while (!pending.empty()) {
        const Json* current = pending.front();
        pending.pop_front();
        const Json* entities = ArrayMember(*current, "entities");
        if (entities == nullptr) continue;
        for (const Json& entity : *entities) {
            if (HasRole(entity, "abuse")) {
                std::string contact = AbuseContact(entity);
                if (!contact.empty()) return contact;
            }
            pending.push_back(&entity);
        }
    }
    return {};
}

// RFC 9537: the answer's "redacted" member names what the server withheld,
// by the types of ICANN's registry ("Registrant Name", "Registrant
// Organization"...). The text of the entry naming `type`, else nothing.
std::optional<std::string> RedactionOf(const Json& answer, std::string_view type) {
    const Json* redactions = ArrayMember(answer, "redacted");
    if (redactions == nullptr) return std::nullopt;
    for (const Json& redaction : *redactions) {
        const Json* name = ObjectMember(redaction, "name");
        if (name == nullptr) continue;
        const std::string* named = StringMember(*name, "type");
        if (named == nullptr) named = StringMember(*name, "description");
        if (named == nullptr || !EqualsNoCase(ValueText(*named), type)) continue;
        if (const Json* reason = ObjectMember(redaction, "reason")) {
            if (const std::string* text = StringMember(*reason, "description")) {
                if (!ValueText(*text).empty()) return *text;
            }
        }
        return *named;
    }
    return std::nullopt;
}

// A remark of the entity that says its data was withheld: registrars of
// the ICANN profile title it "REDACTED FOR PRIVACY".
std::optional<std::string> RedactionRemark(const Json& entity) {
    const Json* remarks = ArrayMember(entity, "remarks");
    if (remarks == nullptr) return std::nullopt;
    for (const Json& remark : *remarks) {
        const std::string* title = StringMember(remark, "title");
        if (title != nullptr && IsRedacted(ValueText(*title))) return *title;
    }
    return std::nullopt;
}

// The registrant of a domain or the holder of a resource: its organisation,
// else its name. A value the server marks as withheld, or that says so
// itself, is the redaction; an entity with neither but a remark or a
// "redacted" entry saying they were withheld gives the redaction too.
void AddHolder(const Json& answer, Field field, TFacts& out) {
    const Json* entity = EntityWithRole(answer, "registrant");
    if (entity == nullptr) return;
    const std::optional<std::string> orgRedaction = RedactionOf(answer, "Registrant Organization");
    const std::optional<std::string> nameRedaction = RedactionOf(answer, "Registrant Name");
    for (const auto& [property, redaction] :
         {std::pair{"org", &orgRedaction}, std::pair{"fn", &nameRedaction}}) {
        const std::string text = CardText(*entity, property);
        if (text.empty()) continue;
        if (redaction->has_value() || IsRedacted(text)) {
            out.Add(field, redaction->has_value() ? **redaction : text, true);
        } else {
            out.Add(field, text);
        }
        return;
    }
    if (const auto remark = RedactionRemark(*entity)) {
        out.Add(field, *remark, true);
    } else if (orgRedaction) {
        out.Add(field, *orgRedaction, true);
    } else if (nameRedaction) {
        out.Add(field, *nameRedaction, true);
    }
}

// The first event of each action in `actions`, as `field`.
void AddEvent(const Json& object, std::initializer_list<std::string_view> actions, Field field,
              TFacts& out) {
    const Json* events = ArrayMember(object, "events");
    if (events == nullptr) return;
    for (const Json& event : *events) {
        const std::string* action = StringMember(event, "eventAction");
        const std::string* date = StringMember(event, "eventDate");
        if (action == nullptr || date == nullptr) continue;
        for (const std::string_view wanted : actions) {
            if (EqualsNoCase(*action, wanted)) {
                out.Add(field, *date);
                return;
            }
        }
    }
}

void AddStrings(const Json& object, const char* key, Field field, TFacts& out) {
    const Json* items = ArrayMember(object, key);
    if (items == nullptr) return;
    for (const Json& item : *items) {
        if (item.is_string()) out.Add(field, item.get_ref<const std::string&>());
    }
}

void AddString(const Json& object, const char* key, Field field, TFacts& out) {
    if (const std::string* value = StringMember(object, key)) out.Add(field, *value);
}

void ReadDomain(const Json& answer, TFacts& out) {
    if (const Json* registrar = EntityWithRole(answer, "registrar")) {
        std::string name = CardText(*registrar, "fn");
        if (name.empty()) name = CardText(*registrar, "org");
        out.Add(Field::registrar, name);
        if (const Json* ids = ArrayMember(*registrar, "publicIds")) {
            for (const Json& id : *ids) {
                const std::string* type = StringMember(id, "type");
                const Json* identifier = Member(id, "identifier");
                if (type != nullptr && identifier != nullptr &&
                    EqualsNoCase(*type, "IANA Registrar ID")) {
                    out.Add(Field::registrarIanaId, ScalarText(*identifier));
                    break;
                }
            }
        }
    }
    AddHolder(answer, Field::registrant, out);
    AddEvent(answer, {"registration"}, Field::created, out);
    // "last update" is what some registrars write for RFC 9083's "last changed".
    AddEvent(answer, {"last changed", "last update"}, Field::updated, out);
    AddEvent(answer, {"expiration"}, Field::expires, out);
    AddStrings(answer, "status", Field::status, out);
    if (const Json* nameservers = ArrayMember(answer, "nameservers")) {
        for (const Json& nameserver : *nameservers) {
            const std::string* name = StringMember(nameserver, "ldhName");
            if (name == nullptr) name = StringMember(nameserver, "unicodeName");
            if (name != nullptr) out.Add(Field::nameServer, *name);
        }
    }
    if (const Json* secure = ObjectMember(answer, "secureDNS")) {
        // Written as the port-43 answers of the same registries write it.
        const Json* signedDelegation = Member(*secure, "delegationSigned");
        if (signedDelegation != nullptr && signedDelegation->is_boolean()) {
            out.Add(Field::dnssec, signedDelegation->get<bool>() ? "signedDelegation" : "unsigned");
        }
    }
    out.Add(Field::abuse, FindAbuse(answer));
}

std::string Prefix(const Json& cidr) {
    const std::string* prefix = StringMember(cidr, "v4prefix");
    if (prefix == nullptr) prefix = StringMember(cidr, "v6prefix");
    const Json* length = Member(cidr, "length");
    if (prefix == nullptr || length == nullptr) return {};
    const std::string bits = ScalarText(*length);
    return bits.empty() ? std::string() : *prefix + "/" + bits;
}

void ReadNetwork(const Json& answer, TFacts& out) {
    const std::string* start = StringMember(answer, "startAddress");
    const std::string* end = StringMember(answer, "endAddress");
    if (start != nullptr && end != nullptr && !ValueText(*start).empty() &&
        !ValueText(*end).empty()) {
        out.Add(Field::range, ValueText(*start) + " - " + ValueText(*end));
    }
    if (const Json* cidrs = ArrayMember(answer, "cidr0_cidrs")) {
        for (const Json& cidr : *cidrs) out.Add(Field::cidr, Prefix(cidr));
    }
    AddString(answer, "name", Field::netName, out);
    AddHolder(answer, Field::holder, out);
    AddString(answer, "country", Field::country, out);
    AddEvent(answer, {"registration"}, Field::allocated, out);
    out.Add(Field::abuse, FindAbuse(answer));
}

// "AS<n>" for a number given as JSON number or digits.
std::string AsText(const Json* number) {
    if (number == nullptr) return {};
    const std::string digits = ScalarText(*number);
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos) return {};
    return "AS" + digits;
}

void ReadAutnum(const Json& answer, TFacts& out) {
    const std::string start = AsText(Member(answer, "startAutnum"));
    const std::string end = AsText(Member(answer, "endAutnum"));
    if (!start.empty()) {
        out.Add(Field::asNumber, end.empty() || end == start ? start : start + " - " + end);
    } else if (const std::string* handle = StringMember(answer, "handle")) {
        // RIPE gives no range, only the object's name, which is the number.
        const std::string text = ValueText(*handle);
        if (text.size() > 2 && EqualsNoCase(std::string_view(text).substr(0, 2), "AS") &&
            text.find_first_not_of("0123456789", 2) == std::string::npos) {
            out.Add(Field::asNumber, "AS" + text.substr(2));
        }
    }
    AddString(answer, "name", Field::asName, out);
    AddHolder(answer, Field::holder, out);
    AddString(answer, "country", Field::country, out);
}

}  // namespace

std::vector<RawFact> ReadRdapFacts(std::string_view json) {
    Json answer;
    try {
        answer = rdap::ParseLimitedJson(json, rdap::kMaxAnswerDepth);
    } catch (const rdap::JsonInputError&) {
        return {};
    }
    if (!answer.is_object()) return {};
    const std::string* kind = StringMember(answer, "objectClassName");
    // Error answers and search results have no class of their own.
    if (kind == nullptr) return {};
    TFacts out;
    if (EqualsNoCase(*kind, "domain")) {
        ReadDomain(answer, out);
    } else if (EqualsNoCase(*kind, "ip network")) {
        ReadNetwork(answer, out);
    } else if (EqualsNoCase(*kind, "autnum")) {
        ReadAutnum(answer, out);
    }
    return out.Take();
}

}  // namespace torvane::summary
