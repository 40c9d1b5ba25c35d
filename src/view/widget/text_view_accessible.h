// The accessible interface of TTextView: to a screen reader the report is a read-only,
// multi-line text field whose text, caret, selection and character geometry it can read.
#pragma once

namespace torvane::view {

// Lets QAccessible::queryAccessibleInterface give every TTextView its interface. The first call
// installs the factory; later calls do nothing. TTextView's constructor calls it.
void InstallTextViewAccessibility();

}  // namespace torvane::view
