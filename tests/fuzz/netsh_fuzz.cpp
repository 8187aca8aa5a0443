// What netsh prints, as the start sequence reads it: the adapter's lines of
// "show addresses", the driver's hosted-network answer and the cleaned
// output for a message box. The first input line names the adapter.
#include <string>

#include "common/text.h"
#include "fuzz_check.h"
#include "hotspot/hotspot_path.h"
#include "hotspot/netsh_text.h"

using namespace lumora;

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  const std::string_view input = fuzz::Bytes(data, size);
  const std::size_t nl = input.find('\n');
  const std::string_view adapter = input.substr(0, nl == std::string_view::npos ? 0 : nl);
  const std::string_view output = nl == std::string_view::npos ? input : input.substr(nl + 1);

  const std::string lines = netsh::AdapterDhcpLines(output, adapter);
  if (!lines.empty()) {
    // A piece of the output from the adapter's name to the end of a line
    // that mentions DHCP, one line break in between.
    FUZZ_CHECK(FindNoCase(output, lines) != std::string_view::npos);
    FUZZ_CHECK(FindNoCase(lines, adapter) == 0);
    FUZZ_CHECK(FindNoCase(lines.substr(adapter.size()), "dhcp") != std::string::npos);
    FUZZ_CHECK(std::count(lines.begin() + adapter.size(), lines.end(), '\n') == 1);
  }

  const std::string cleaned = netsh::CleanOutput(output);
  FUZZ_CHECK(cleaned.size() <= output.size());

  const HostedSupport support = HostedSupportFromDrivers(output);
  FUZZ_CHECK(support == HostedSupport::kUnknown || support == HostedSupport::kSupported ||
             support == HostedSupport::kNotSupported);

  const std::string trimmed = TrimSpaces(adapter);
  FUZZ_CHECK(trimmed.empty() || (trimmed.front() != ' ' && trimmed.back() != ' '));
  FUZZ_CHECK(netsh::RemoveFirstSpaces(adapter, 3).size() + 3 >= adapter.size());
  const std::string command = netsh::SetStaticAddressCommand(adapter);
  FUZZ_CHECK(command.empty() == (adapter.find('"') != std::string_view::npos));
  return 0;
}
