#pragma once
// The application object sets the C library's locale from the user's
// environment.  The program's numbers, stored or shown, and its byte-wise
// character classes must not follow it: a decimal comma would land in
// dBASE fields, property texts and dialogs that are read back with a point.

namespace platform {

// Takes the C library's numbers, collation and character classes back to
// the fixed ones ("C", with UTF-8 characters); the user's language stays for
// the system's messages.  Called right after an application object is made.
void FixConversionLocale();

}  // namespace platform
