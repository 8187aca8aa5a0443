#include "common/trace.h"

#include <atomic>

namespace lumora {
namespace {
std::atomic<TraceSink> g_sink{nullptr};
}  // namespace

void SetTraceSink(TraceSink sink) { g_sink.store(sink, std::memory_order_relaxed); }

void TraceMark(const char* mark) {
  if (const TraceSink sink = g_sink.load(std::memory_order_relaxed)) sink(mark);
}

}  // namespace lumora
