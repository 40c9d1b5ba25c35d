#include "rdap/render.h"

#include "rdap/json_input.h"
#include "rdap/json_members.h"
#include "rdap/line_writer.h"
#include "rdap/vcard_lines.h"

#include "dates/dates.h"

namespace torvane::rdap {
namespace {

void WriteObject(const Json& object, int level, LineWriter& out);
void WriteEntity(const Json& entity, int level, LineWriter& out);

bool IsBlank(std::string_view text) {
    return text.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

// A member without text gives no line: a reader looks for values, not for
// labels with nothing after them.
void WriteString(const Json& object, const char* key, int level, std::string_view label, LineWriter& out) {
    const std::string* value = StringMember(object, key);
    if (value != nullptr && !IsBlank(*value)) out.Field(level, label, *value);
}

// Each string element of the array member `key` as "label: element".
void WriteStrings(const Json& object, const char* key, int level, std::string_view label, LineWriter& out) {
    const Json* items = ArrayMember(object, key);
    if (items == nullptr) return;
    for (const Json& item : *items) {
        if (item.is_string() && !IsBlank(item.get_ref<const std::string&>())) {
            out.Field(level, label, item.get_ref<const std::string&>());
        }
    }
}

void WriteNames(const Json& object, std::string_view label, int level, LineWriter& out) {
    const std::string* ldh = StringMember(object, "ldhName");
    const std::string* unicode = StringMember(object, "unicodeName");
    if (ldh != nullptr) out.Field(level, label, *ldh);
    if (unicode != nullptr && (ldh == nullptr || !EqualsNoCase(*ldh, *unicode))) {
        out.Field(level, std::string(label) + " (Unicode)", *unicode);
    }
}

// The event actions of the IANA registry (RFC 9083 section 10.2.3), and
// the "last update" some registrars write, as a reader says them.
std::string EventLabel(std::string_view action) {
    static constexpr std::pair<std::string_view, std::string_view> kEvents[] = {
        {"registration", "Registered"},
        {"reregistration", "Re-registered"},
        {"last changed", "Updated"},
        {"last update", "Updated"},
        {"expiration", "Expires"},
        {"deletion", "Deleted"},
        {"reinstantiation", "Reinstated"},
        {"transfer", "Transferred"},
        {"locked", "Locked"},
        {"unlocked", "Unlocked"},
        {"last update of rdap database", "Database updated"},
        {"registrar expiration", "Registrar expiry"},
        {"enum validation expiration", "ENUM validation expires"},
    };
    for (const auto& [name, label] : kEvents) {
        if (EqualsNoCase(action, name)) return std::string(label);
    }
    if (IsBlank(action)) return "Event";
    std::string label(action);
    if (label[0] >= 'a' && label[0] <= 'z') label[0] = static_cast<char>(label[0] - 'a' + 'A');
    return label;
}

// "2028-09-14T04:00:00Z (2028-09-14 13:00 JST)": as given, then in Japan
// time when it is a time the date reader knows; a day alone, or any other
// text, as given.
std::string EventDateText(const std::string& date) {
    const std::optional<dates::Date> parsed = dates::ParseDate(date);
    if (!parsed || !parsed->hasTime) return date;
    return date + " (" + dates::JstText(*parsed) + ")";
}

void WriteEvents(const Json& object, int level, LineWriter& out) {
    const Json* events = ArrayMember(object, "events");
    if (events == nullptr) return;
    for (const Json& event : *events) {
        const std::string* action = StringMember(event, "eventAction");
        const std::string* date = StringMember(event, "eventDate");
        if (action == nullptr && date == nullptr) continue;
        std::string value = date != nullptr ? EventDateText(*date) : std::string();
        if (const std::string* actor = StringMember(event, "eventActor")) value += " (by " + *actor + ")";
        out.Field(level, EventLabel(action != nullptr ? *action : std::string()), value);
    }
}

void WriteLinks(const Json& object, int level, LineWriter& out) {
    const Json* links = ArrayMember(object, "links");
    if (links == nullptr) return;
    for (const Json& link : *links) {
        const std::string* href = StringMember(link, "href");
        if (href == nullptr) continue;
        const std::string* rel = StringMember(link, "rel");
        out.Field(level, rel != nullptr && !rel->empty() ? "Link (" + *rel + ")" : "Link", *href);
    }
}

// Remarks and notices: "Label: title" over its description lines, or each
// description line as "Label: line" when there is no title.
void WriteNotes(const Json& object, const char* key, std::string_view label, int level, LineWriter& out) {
    const Json* notes = ArrayMember(object, key);
    if (notes == nullptr) return;
    for (const Json& note : *notes) {
        const std::string* title = StringMember(note, "title");
        const Json* description = ArrayMember(note, "description");
        if (title != nullptr) out.Field(level, label, *title);
        if (description != nullptr) {
            for (const Json& line : *description) {
                if (!line.is_string()) continue;
                if (title != nullptr) {
                    out.Text(level + 1, line.get_ref<const std::string&>());
                } else {
                    out.MultiLineField(level, label, line.get_ref<const std::string&>());
                }
            }
        }
        WriteLinks(note, level + 1, out);
    }
}

// "<type>: <identifier>" each; the first one that heads its entity
// (`skipFirst`) is left out.
void WritePublicIds(const Json& object, int level, LineWriter& out, bool skipFirst = false) {
    const Json* ids = ArrayMember(object, "publicIds");
    if (ids == nullptr) return;
    for (const Json& id : *ids) {
        const std::string* type = StringMember(id, "type");
        const std::string* identifier = StringMember(id, "identifier");
        if (type == nullptr || identifier == nullptr || IsBlank(*identifier)) continue;
        if (skipFirst) {
            skipFirst = false;
            continue;
        }
        out.Field(level, *type, *identifier);
    }
}

// "IANA Registrar ID 292": the entity's first public identifier, for a
// heading; empty when there is none.
std::string FirstPublicId(const Json& object) {
    const Json* ids = ArrayMember(object, "publicIds");
    if (ids == nullptr) return {};
    for (const Json& id : *ids) {
        const std::string* type = StringMember(id, "type");
        const std::string* identifier = StringMember(id, "identifier");
        if (type != nullptr && identifier != nullptr && !IsBlank(*identifier)) {
            return IsBlank(*type) ? *identifier : *type + " " + *identifier;
        }
    }
    return {};
}

std::string RoleLabel(std::string_view role) {
    static constexpr std::pair<std::string_view, std::string_view> kRoles[] = {
        {"registrant", "Registrant"},
        {"technical", "Technical Contact"},
        {"administrative", "Administrative Contact"},
        {"abuse", "Abuse Contact"},
        {"billing", "Billing Contact"},
        {"registrar", "Registrar"},
        {"reseller", "Reseller"},
        {"sponsor", "Sponsor"},
        {"proxy", "Proxy"},
        {"notifications", "Notifications Contact"},
        {"noc", "NOC Contact"},
    };
    for (const auto& [name, label] : kRoles) {
        if (EqualsNoCase(role, name)) return std::string(label);
    }
    std::string label(role);
    if (!label.empty() && label[0] >= 'a' && label[0] <= 'z') label[0] = static_cast<char>(label[0] - 'a' + 'A');
    return label;
}

std::string EntityHeading(const Json& entity) {
    std::string heading;
    if (const Json* roles = ArrayMember(entity, "roles")) {
        for (const Json& role : *roles) {
            if (!role.is_string()) continue;
            if (!heading.empty()) heading += ", ";
            heading += RoleLabel(role.get_ref<const std::string&>());
        }
    }
    return heading.empty() ? "Entity" : heading;
}

void WriteEntities(const Json& object, int level, LineWriter& out) {
    const Json* entities = ArrayMember(object, "entities");
    if (entities == nullptr) return;
    for (const Json& entity : *entities) {
        if (!entity.is_object()) continue;
        if (level == 0) out.Gap();
        if (out.Full()) return;
        WriteEntity(entity, level, out);
    }
}

// What every object ends with: remarks, links, its port 43 server, then the
// entities related to it.
void WriteTail(const Json& object, int level, LineWriter& out) {
    WriteNotes(object, "remarks", "Remark", level, out);
    WriteLinks(object, level, out);
    WriteString(object, "port43", level, "Port 43 Server", out);
    WriteEntities(object, level, out);
}

void WriteIpAddresses(const Json& object, int level, LineWriter& out) {
    if (const Json* addresses = ObjectMember(object, "ipAddresses")) {
        WriteStrings(*addresses, "v4", level, "IP Address", out);
        WriteStrings(*addresses, "v6", level, "IP Address", out);
    }
}

void WriteSecureDns(const Json& object, int level, LineWriter& out) {
    const Json* secure = ObjectMember(object, "secureDNS");
    if (secure == nullptr) return;
    if (const Json* signed_ = Member(*secure, "delegationSigned"); signed_ != nullptr && signed_->is_boolean()) {
        out.Field(level, "DNSSEC", signed_->get<bool>() ? "signedDelegation" : "unsigned");
    }
    const auto records = [&](const char* key, std::string_view label,
                             std::initializer_list<const char*> fields) {
        const Json* items = ArrayMember(*secure, key);
        if (items == nullptr) return;
        for (const Json& item : *items) {
            std::string value;
            for (const char* field : fields) {
                const Json* part = Member(item, field);
                const std::string text = part != nullptr ? ScalarText(*part) : std::string();
                if (text.empty()) continue;
                if (!value.empty()) value += ' ';
                value += text;
            }
            if (!value.empty()) out.Field(level, label, value);
        }
    };
    records("dsData", "DNSSEC DS Data", {"keyTag", "algorithm", "digestType", "digest"});
    records("keyData", "DNSSEC Key Data", {"flags", "protocol", "algorithm", "publicKey"});
}

void WriteCommon(const Json& object, int level, LineWriter& out) {
    WriteStrings(object, "status", level, "Status", out);
    WriteEvents(object, level, out);
}

void WriteDomain(const Json& domain, int level, LineWriter& out) {
    WriteNames(domain, "Domain Name", level, out);
    WriteString(domain, "handle", level, "Handle", out);
    WritePublicIds(domain, level, out);
    WriteCommon(domain, level, out);
    if (const Json* nameservers = ArrayMember(domain, "nameservers")) {
        for (const Json& nameserver : *nameservers) {
            WriteNames(nameserver, "Nameserver", level, out);
            WriteIpAddresses(nameserver, level + 1, out);
        }
    }
    WriteSecureDns(domain, level, out);
    WriteTail(domain, level, out);
}

void WriteNameserver(const Json& nameserver, int level, LineWriter& out) {
    WriteNames(nameserver, "Nameserver", level, out);
    WriteString(nameserver, "handle", level, "Handle", out);
    WriteIpAddresses(nameserver, level, out);
    WriteCommon(nameserver, level, out);
    WriteTail(nameserver, level, out);
}

// What heads an entity: its name as the card gives it, else its
// organization, else its first public identifier, else its handle; each
// then left out of the lines below.
struct EntityName {
    enum class Source { fn, org, publicId, handle, none };
    std::string text;
    Source source = Source::none;
};

EntityName NameOf(const Json& entity, const Json* card) {
    using Source = EntityName::Source;
    if (card != nullptr) {
        if (std::string fn = VcardFormattedName(*card); !fn.empty()) return {std::move(fn), Source::fn};
        if (std::string org = VcardOrganization(*card); !org.empty()) return {std::move(org), Source::org};
    }
    if (std::string id = FirstPublicId(entity); !id.empty()) return {std::move(id), Source::publicId};
    const std::string* handle = StringMember(entity, "handle");
    if (handle != nullptr && !IsBlank(*handle)) return {*handle, Source::handle};
    return {};
}

void WriteEntity(const Json& entity, int level, LineWriter& out) {
    using Source = EntityName::Source;
    const Json* card = Member(entity, "vcardArray");
    const EntityName name = NameOf(entity, card);
    out.Field(level, EntityHeading(entity), name.text);
    if (name.source != Source::handle) WriteString(entity, "handle", level + 1, "Handle", out);
    if (card != nullptr) WriteVcard(*card, level + 1, out, name.source == Source::org);
    WritePublicIds(entity, level + 1, out, name.source == Source::publicId);
    WriteCommon(entity, level + 1, out);
    WriteTail(entity, level + 1, out);
}

void WriteCidrs(const Json& network, int level, LineWriter& out) {
    const Json* cidrs = ArrayMember(network, "cidr0_cidrs");
    if (cidrs == nullptr) return;
    for (const Json& cidr : *cidrs) {
        const std::string* prefix = StringMember(cidr, "v4prefix");
        if (prefix == nullptr) prefix = StringMember(cidr, "v6prefix");
        const Json* length = Member(cidr, "length");
        if (prefix == nullptr || length == nullptr || !length->is_number_integer()) continue;
        out.Field(level, "CIDR", *prefix + "/" + length->dump());
    }
}

void WriteNetwork(const Json& network, int level, LineWriter& out) {
    const std::string* start = StringMember(network, "startAddress");
    const std::string* end = StringMember(network, "endAddress");
    if (start != nullptr || end != nullptr) {
        out.Field(level, "Network", (start ? *start : std::string()) + " - " + (end ? *end : std::string()));
    }
    WriteCidrs(network, level, out);
    WriteString(network, "ipVersion", level, "IP Version", out);
    WriteString(network, "name", level, "Name", out);
    WriteString(network, "type", level, "Type", out);
    WriteString(network, "country", level, "Country", out);
    WriteString(network, "parentHandle", level, "Parent Handle", out);
    WriteString(network, "handle", level, "Handle", out);
    WriteCommon(network, level, out);
    WriteTail(network, level, out);
}

void WriteAutnum(const Json& autnum, int level, LineWriter& out) {
    const Json* start = Member(autnum, "startAutnum");
    const Json* end = Member(autnum, "endAutnum");
    const std::string first = start != nullptr ? ScalarText(*start) : std::string();
    const std::string last = end != nullptr ? ScalarText(*end) : std::string();
    if (!first.empty() && (last.empty() || last == first)) {
        out.Field(level, "Autonomous System", "AS" + first);
    } else if (!first.empty() || !last.empty()) {
        out.Field(level, "Autonomous System", "AS" + first + " - AS" + last);
    }
    WriteString(autnum, "name", level, "Name", out);
    WriteString(autnum, "type", level, "Type", out);
    WriteString(autnum, "country", level, "Country", out);
    WriteString(autnum, "handle", level, "Handle", out);
    WriteCommon(autnum, level, out);
    WriteTail(autnum, level, out);
}

void WriteError(const Json& error, int level, LineWriter& out) {
    if (const Json* code = Member(error, "errorCode")) {
        const std::string text = ScalarText(*code);
        if (!text.empty()) out.Field(level, "Error Code", text);
    }
    WriteString(error, "title", level, "Title", out);
    if (const Json* description = ArrayMember(error, "description")) {
        for (const Json& line : *description) {
            if (line.is_string()) out.MultiLineField(level, "Description", line.get_ref<const std::string&>());
        }
    }
}

void WriteOther(const Json& object, int level, LineWriter& out) {
    WriteString(object, "handle", level, "Handle", out);
    WriteCommon(object, level, out);
    WriteTail(object, level, out);
}

void WriteObject(const Json& object, int level, LineWriter& out) {
    const std::string* kind = StringMember(object, "objectClassName");
    const std::string_view name = kind != nullptr ? std::string_view(*kind) : std::string_view();
    if (EqualsNoCase(name, "domain")) {
        WriteDomain(object, level, out);
    } else if (EqualsNoCase(name, "nameserver")) {
        WriteNameserver(object, level, out);
    } else if (EqualsNoCase(name, "entity")) {
        WriteEntity(object, level, out);
    } else if (EqualsNoCase(name, "ip network")) {
        WriteNetwork(object, level, out);
    } else if (EqualsNoCase(name, "autnum")) {
        WriteAutnum(object, level, out);
    } else if (kind == nullptr && Member(object, "errorCode") != nullptr) {
        WriteError(object, level, out);
    } else {
        WriteOther(object, level, out);
    }
}

void WriteSearchResults(const Json& answer, LineWriter& out) {
    for (const char* key : {"domainSearchResults", "nameserverSearchResults", "entitySearchResults",
                            "ipSearchResults", "autnumSearchResults"}) {
        const Json* results = ArrayMember(answer, key);
        if (results == nullptr) continue;
        for (const Json& result : *results) {
            if (!result.is_object()) continue;
            out.Gap();
            if (out.Full()) return;
            WriteObject(result, 0, out);
        }
    }
}

bool IsRdapMediaType(std::string_view type) {
    constexpr std::string_view kRdap = "application/rdap+json";
    if (type.size() < kRdap.size() || !EqualsNoCase(type.substr(0, kRdap.size()), kRdap)) return false;
    const std::string_view rest = type.substr(kRdap.size());
    return rest.empty() || rest.front() == ';' || rest.front() == ' ';
}

bool IsHttpUrl(std::string_view url) {
    return (url.size() > 8 && EqualsNoCase(url.substr(0, 8), "https://")) ||
           (url.size() > 7 && EqualsNoCase(url.substr(0, 7), "http://"));
}

std::optional<std::string> RelatedRdapUrl(const Json& answer) {
    const Json* links = ArrayMember(answer, "links");
    if (links == nullptr) return std::nullopt;
    for (const Json& link : *links) {
        const std::string* rel = StringMember(link, "rel");
        const std::string* type = StringMember(link, "type");
        const std::string* href = StringMember(link, "href");
        if (rel != nullptr && EqualsNoCase(*rel, "related") && type != nullptr && IsRdapMediaType(*type) &&
            href != nullptr && IsHttpUrl(*href)) {
            return *href;
        }
    }
    return std::nullopt;
}

// An answer is a JSON object within the depth limit; anything else is no
// RDAP answer at all.
std::optional<Json> ParseAnswerObject(std::string_view json) {
    try {
        Json answer = ParseLimitedJson(json, kMaxAnswerDepth);
        if (answer.is_object()) return answer;
    } catch (const JsonInputError&) {
    }
    return std::nullopt;
}

}  // namespace

std::optional<RdapRendering> RenderRdap(std::string_view json) {
    const std::optional<Json> parsed = ParseAnswerObject(json);
    if (!parsed) return std::nullopt;
    const Json& answer = *parsed;
    LineWriter out(kMaxRenderedLines);
    WriteObject(answer, 0, out);
    WriteSearchResults(answer, out);
    if (ArrayMember(answer, "notices") != nullptr) {
        out.Gap();
        WriteNotes(answer, "notices", "Notice", 0, out);
    }
    RdapRendering rendering;
    rendering.lines = out.TakeLines(kCutLine);
    rendering.relatedUrl = RelatedRdapUrl(answer);
    return rendering;
}

std::optional<long long> RdapErrorCode(std::string_view json) {
    if (json.size() > kMaxErrorAnswerSize) return std::nullopt;
    const std::optional<Json> answer = ParseAnswerObject(json);
    if (!answer) return std::nullopt;
    const Json* code = Member(*answer, "errorCode");
    if (code == nullptr || !code->is_number_integer()) return std::nullopt;
    return code->get<long long>();
}

}  // namespace torvane::rdap
