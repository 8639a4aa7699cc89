#pragma once

namespace zanth2d {

// Writes one printf-style line (at most 16 KB, a line break added) to standard output. Stands in for
// the library log until it exists; every diagnostic of the file and texture code goes through here.
void ztLogLine(const char* format, ...) __attribute__((format(printf, 1, 2)));

} // namespace zanth2d
