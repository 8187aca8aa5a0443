#include "win32/wmi_win.h"

#include "net/adapter_query.h"
#include "win32/utf16.h"

namespace lumora {
namespace {

// The WMI identifiers live in a library the program does not otherwise need.
constexpr CLSID kClsidWbemLocator = {
    0x4590F811, 0x1D3A, 0x11D0, {0x89, 0x1F, 0x00, 0xAA, 0x00, 0x4B, 0x2E, 0x24}};
constexpr IID kIidWbemLocator = {
    0xDC12A687, 0x737F, 0x11CF, {0x88, 0x4D, 0x00, 0xAA, 0x00, 0x4B, 0x2E, 0x24}};

// The calls and the rows they return go through the service's proxies,
// which need the caller's identity.
void Impersonate(IUnknown* proxy) {
  CoSetProxyBlanket(proxy, RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr, RPC_C_AUTHN_LEVEL_CALL,
                    RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE);
}

}  // namespace

ComRef<IEnumWbemClassObject> AdapterRows(std::string_view fields, const std::string& connection) {
  ComRef<IWbemLocator> locator;
  if (!Took(CoCreateInstance(kClsidWbemLocator, nullptr, CLSCTX_INPROC_SERVER, kIidWbemLocator,
                             locator.put_void()),
            locator))
    return {};
  const Bstr space(L"root\\cimv2");
  ComRef<IWbemServices> services;
  if (!space.get() ||
      !Took(locator->ConnectServer(space.get(), nullptr, nullptr, nullptr, 0, nullptr, nullptr,
                                   services.put()),
            services))
    return {};
  Impersonate(services.get());
  const Bstr language(L"WQL");
  const Bstr query(Widen(AdapterQuery(fields, connection)));
  ComRef<IEnumWbemClassObject> rows;
  if (!language.get() || !query.get() ||
      !Took(services->ExecQuery(language.get(), query.get(),
                                WBEM_FLAG_FORWARD_ONLY | WBEM_FLAG_RETURN_IMMEDIATELY, nullptr,
                                rows.put()),
            rows))
    return {};
  Impersonate(rows.get());
  return rows;
}

}  // namespace lumora
