#pragma once
// What an RDAP service's answer body holds, before anyone renders or shows
// it: registration data, some other JSON, a cut-off document, a web page,
// other text, or bytes that are no text at all.

#include <string_view>

namespace torvane::rdap {

enum class BodyKind {
    kRdap,       // a JSON object with an RDAP member at its top: objectClassName,
                 // rdapConformance, errorCode or a *SearchResults array
    kOtherJson,  // well-formed JSON that is none: an array, a bare value, an object
                 // without those members, or nesting deeper than kMaxAnswerDepth
    kCutJson,    // starts as an object or array but ends before the document does
    kHtml,       // declared text/html or application/xhtml+xml, or starting with '<'
    kText,       // any other text (in whatever code: Latin-1, Shift_JIS, ...)
    kBinary,     // a NUL byte, or more than one byte in 64 a control byte other
                 // than TAB, LF, FF, CR and ESC (ESC starts ISO-2022-JP's shifts)
    kEmpty,      // no bytes, or only spaces and line breaks
};

// The kind of `body`, whose response declared `contentType` (the header's
// value, parameters allowed, empty when none). In this order: a body that
// parses as JSON is one of the JSON kinds whatever the media type says (a
// bare value such as `42` only when the media type is a JSON one); then
// kCutJson; then kBinary, so a compressed stream labelled text/html is never
// taken for a page; then kHtml; else kText. A leading UTF-8 byte-order mark
// and white space are skipped. Invalid UTF-8 alone never makes a body
// binary: answers in Shift_JIS, EUC-JP or Latin-1 are text the report can
// decode, while random bytes (compressed data, images) give themselves away
// by their NULs and control bytes, about one in eight of them. UTF-16 text
// counts as binary.
// Linear in the body's size; one pass of a JSON parser that builds nothing.
BodyKind ClassifyBody(std::string_view body, std::string_view contentType);

}  // namespace torvane::rdap
