#pragma once
// Answers are untrusted: a server can put terminal control sequences into
// its answer. Before text goes to a terminal, every control character is
// replaced by a visible escape, so nothing a server sends can move the
// cursor, retitle the window, ring the bell or reprogram the terminal.
//
// Escapes: C0 characters as caret notation (ESC "^[", BEL "^G", NUL "^@",
// CR "^M"), DEL as "^?", C1 characters (U+0080-U+009F) as "M-" and the caret
// form of their low seven bits (CSI U+009B "M-^["), bytes that are not part
// of a well-formed character as "\xHH". TAB passes unchanged. Line ends are
// not part of a line and are written by the caller.

#include <string>
#include <string_view>

namespace torvane::cli {

// Result: well-formed UTF-8 with no C0 (but TAB), DEL or C1 character.
std::string EscapeUtf8ForTerminal(std::string_view utf8);

// Result: well-formed CP932 with no byte below 0x20 (but TAB) and no DEL; a
// byte that does not start or complete a CP932 character is escaped, so a
// terminal that takes 0x80-0x9F as C1 controls never sees one on its own.
std::string EscapeCp932ForTerminal(std::string_view cp932);

// Append the escaped form to `out`, as the functions above return it; for
// many lines into one buffer. The text must not point into `out`.
void AppendUtf8EscapedForTerminal(std::string& out, std::string_view utf8);
void AppendCp932EscapedForTerminal(std::string& out, std::string_view cp932);

}  // namespace torvane::cli
