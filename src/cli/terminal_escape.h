#pragma once
// Answers are untrusted: a server can put terminal control sequences into
// its answer. Before text goes to a terminal, every character that
// unicode::MustShowOnTerminal names is replaced by a visible escape, so
// nothing a server sends can move the cursor, retitle the window, ring the
// bell, reprogram the terminal or reorder what the line shows.
//
// Escapes: C0 characters as caret notation (ESC "^[", BEL "^G", NUL "^@",
// CR "^M"), DEL as "^?", C1 characters (U+0080-U+009F) as "M-" and the caret
// form of their low seven bits (CSI U+009B "M-^["), the controls that
// reorder text as "<U+202E>", bytes that are not part of a well-formed
// character as "\xHH". TAB passes unchanged. Line ends are not part of a
// line and are written by the caller.

#include <string>
#include <string_view>

namespace torvane::cli {

// Result: well-formed UTF-8 with no character MustShowOnTerminal names.
std::string EscapeUtf8ForTerminal(std::string_view utf8);

// Appends the escaped form to `out`, as EscapeUtf8ForTerminal returns it;
// for many lines into one buffer. The text must not point into `out`.
void AppendUtf8EscapedForTerminal(std::string& out, std::string_view utf8);

}  // namespace torvane::cli
