#include "layout_audit.h"

#include <algorithm>

namespace lumora::e2e {
namespace {

bool Empty(const Rect& r) { return r.width <= 0 || r.height <= 0; }

std::string Describe(const Rect& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.width) + "x" +
         std::to_string(r.height);
}

bool DesignOverlap(Ctl a, Ctl b) {
  if (a == Ctl::kCount || b == Ctl::kCount) return false;
  return !Empty(Intersection(DefOf(a).rect, DefOf(b).rect));
}

}  // namespace

Rect Intersection(const Rect& a, const Rect& b) {
  const int left = std::max(a.left, b.left), top = std::max(a.top, b.top);
  const int right = std::min(a.left + a.width, b.left + b.width);
  const int bottom = std::min(a.top + a.height, b.top + b.height);
  if (right <= left || bottom <= top) return {};
  return {left, top, right - left, bottom - top};
}

std::vector<std::string> AuditLayout(const std::vector<AuditedControl>& controls) {
  std::vector<std::string> faults;
  for (const AuditedControl& c : controls) {
    const Size need{c.text.width + c.chrome.width, c.text.height + c.chrome.height};
    if ((c.text.width > 0 || c.text.height > 0) &&
        (need.width > c.visible.width || need.height > c.visible.height))
      faults.push_back(c.name + ": text needs " + std::to_string(need.width) + "x" +
                       std::to_string(need.height) + ", visible " + Describe(c.visible));
  }
  for (std::size_t i = 0; i < controls.size(); ++i)
    for (std::size_t j = i + 1; j < controls.size(); ++j) {
      const AuditedControl &a = controls[i], &b = controls[j];
      if (a.container != b.container || a.id == b.id) continue;
      if (!Empty(Intersection(a.rect, b.rect)) && !DesignOverlap(a.id, b.id))
        faults.push_back(a.name + " overlaps " + b.name + ": " + Describe(a.rect) + " and " +
                         Describe(b.rect));
    }
  return faults;
}

}  // namespace lumora::e2e
