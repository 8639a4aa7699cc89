#pragma once

namespace zanth2d {

// Writes printf-formatted text to standard output as it stands: no prefix, no line break added.
// Text beyond 16383 bytes is cut.
void ZTLog(const char* pszFormat, ...) __attribute__((format(printf, 1, 2)));

// Reports a failure as the log line "title: message"; no window is shown.
void ZTMessageBox(const char* pszMsg, const char* pszTitle);

} // namespace zanth2d
