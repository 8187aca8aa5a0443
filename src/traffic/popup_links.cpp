#include "traffic/popup_links.h"

#include "common/numbers.h"
#include "common/text.h"

namespace lumora {
namespace {

constexpr std::string_view kBlanks = " \t\r\n";

// The value of `name=` inside one tag (quotes optional), empty when absent.
std::string_view Attribute(std::string_view tag, std::string_view name) {
  std::size_t at = tag.find(name);
  while (at != std::string_view::npos) {
    const std::size_t value = at + name.size();
    const bool starts_word = at == 0 || kBlanks.find(tag[at - 1]) != std::string_view::npos;
    if (starts_word && value < tag.size() && tag[value] == '=') {
      std::string_view rest = tag.substr(value + 1);
      if (!rest.empty() && (rest[0] == '"' || rest[0] == '\'')) {
        const std::size_t end = rest.find(rest[0], 1);
        return end == std::string_view::npos ? rest.substr(1) : rest.substr(1, end - 1);
      }
      return rest.substr(0, rest.find_first_of(" \t>"));
    }
    at = tag.find(name, at + 1);
  }
  return {};
}

}  // namespace

std::vector<PopupLink> ParsePopupLinks(std::string_view markup) {
  std::vector<PopupLink> links;
  PopupLink* open = nullptr;
  int points = 9;
  std::size_t pos = 0;
  while (pos < markup.size()) {
    const std::size_t lt = markup.find('<', pos);
    const std::string_view text = markup.substr(pos, lt == std::string_view::npos ? lt : lt - pos);
    if (open) open->text += text;
    if (lt == std::string_view::npos) break;
    const std::size_t gt = markup.find('>', lt);
    if (gt == std::string_view::npos) break;  // a cut-off tag ends the markup
    const std::string_view tag = markup.substr(lt + 1, gt - lt - 1);
    pos = gt + 1;
    if (tag.rfind("a ", 0) == 0) {
      links.push_back(PopupLink{std::string(Attribute(tag, "msg")), {}, points});
      open = &links.back();
    } else if (tag == "/a") {
      open = nullptr;
    } else if (tag == "/font") {
      points = 9;
    } else if (tag.rfind("font", 0) == 0) {
      const std::string_view size = Attribute(tag, "size");
      const int value = static_cast<int>(ParseLeadingNumber(size));
      if (value > 0 && value < 100) {
        points = value;
        if (open) open->points = value;
      }
    }
  }
  std::vector<PopupLink> out;
  for (PopupLink& link : links) {
    if (link.msg.empty()) continue;
    link.text = std::string(Trim(link.text, kBlanks));
    out.push_back(std::move(link));
  }
  return out;
}

}  // namespace lumora
