#pragma once
// Named moments of the program's life, for timing a start from outside: the
// Windows layer sends them to the debugger output, which Wine prints with a
// time stamp under WINEDEBUG=+timestamp,+debugstr. Without a sink a mark
// costs a load and a test.
#include <string>

namespace lumora {

using TraceSink = void (*)(const char* mark);
void SetTraceSink(TraceSink sink);
void TraceMark(const char* mark);
inline void TraceMark(const std::string& mark) { TraceMark(mark.c_str()); }

}  // namespace lumora
