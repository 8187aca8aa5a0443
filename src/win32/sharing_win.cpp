#include "win32/sharing_win.h"

#include <windows.h>
#include <netcon.h>
#include <objbase.h>
#include <oleauto.h>

#include "win32/com_ref.h"
#include "win32/netcon_ids.h"
#include "win32/utf16.h"

namespace lumora {
namespace {

using namespace netcon;

ComRef<INetSharingManager> CreateManager(const std::wstring& prog_id) {
  CLSID clsid{};
  ComRef<INetSharingManager> manager;
  if (FAILED(CLSIDFromProgID(prog_id.c_str(), &clsid))) return manager;
  Took(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                        kIidNetSharingManager, manager.put_void()),
       manager);
  return manager;
}

std::string FromBstr(BSTR text) {
  return text ? Narrow(std::wstring_view(text, SysStringLen(text))) : std::string();
}

// One connection of a walk. Its properties and its sharing configuration
// are asked for once, when first needed.
class Connection : public SharingConnection {
 public:
  Connection(INetSharingManager* manager, INetConnection* connection)
      : manager_(manager), connection_(connection) {}

  std::string Name() override {
    INetConnectionProps* props = Props();
    if (!props) return {};
    BSTR name = nullptr;
    if (FAILED(props->get_Name(&name))) return {};
    std::string result = FromBstr(name);
    SysFreeString(name);
    return result;
  }

  int Status() override {
    INetConnectionProps* props = Props();
    NETCON_STATUS status = NCS_DISCONNECTED;
    if (!props || FAILED(props->get_Status(&status))) return 0;
    return static_cast<int>(status);
  }

  bool SharingEnabled() override {
    INetSharingConfiguration* config = Config();
    VARIANT_BOOL enabled = VARIANT_FALSE;
    return config && SUCCEEDED(config->get_SharingEnabled(&enabled)) &&
           enabled != VARIANT_FALSE;
  }

  bool EnableSharing(SharingType type) override {
    INetSharingConfiguration* config = Config();
    return config && SUCCEEDED(config->EnableSharing(type == SharingType::kPrivate
                                                         ? ICSSHARINGTYPE_PRIVATE
                                                         : ICSSHARINGTYPE_PUBLIC));
  }

  bool DisableSharing() override {
    INetSharingConfiguration* config = Config();
    return config && SUCCEEDED(config->DisableSharing());
  }

 private:
  INetConnectionProps* Props() {
    if (!props_asked_) {
      props_asked_ = true;
      Took(manager_->get_NetConnectionProps(connection_, props_.put()), props_);
    }
    return props_.get();
  }

  INetSharingConfiguration* Config() {
    if (!config_asked_) {
      config_asked_ = true;
      Took(manager_->get_INetSharingConfigurationForINetConnection(connection_, config_.put()),
           config_);
    }
    return config_.get();
  }

  INetSharingManager* manager_;
  INetConnection* connection_;
  ComRef<INetConnectionProps> props_;
  ComRef<INetSharingConfiguration> config_;
  bool props_asked_ = false;
  bool config_asked_ = false;
};

// Walks a collection's enumerator one item at a time. An item that is not a
// connection is passed over; `each` returns false to end the walk. False
// when the enumerator cannot be had.
template <typename Collection>
bool Walk(INetSharingManager* manager, Collection* collection, const IID& typed_enum,
          const std::function<bool(SharingConnection&)>& each) {
  ComRef<IUnknown> unknown;
  if (!Took(collection->get__NewEnum(unknown.put()), unknown)) return false;
  // The typed enumerators have IEnumVARIANT's layout; either will do.
  ComRef<IEnumVARIANT> items;
  if (!Took(unknown->QueryInterface(kIidEnumVariant, items.put_void()), items) &&
      !Took(unknown->QueryInterface(typed_enum, items.put_void()), items))
    return false;

  for (;;) {
    VARIANT item;
    VariantInit(&item);
    ULONG fetched = 0;
    if (items->Next(1, &item, &fetched) != S_OK || fetched != 1) {
      VariantClear(&item);
      break;
    }
    ComRef<INetConnection> connection;
    IUnknown* unknown_item = item.vt == VT_UNKNOWN    ? V_UNKNOWN(&item)
                             : item.vt == VT_DISPATCH ? V_DISPATCH(&item)
                                                      : nullptr;
    if (unknown_item) {
      Took(unknown_item->QueryInterface(kIidNetConnection, connection.put_void()), connection);
    }
    VariantClear(&item);
    if (!connection) continue;
    Connection current(manager, connection.get());
    if (!each(current)) break;
  }
  return true;
}

}  // namespace

bool Win32SharingPort::ForEveryConnection(SharingProgId id, const Visit& visit) {
  ComScope com;
  ComRef<INetSharingManager> manager = CreateManager(ProgId(id));
  if (!manager) return false;
  ComRef<INetSharingEveryConnectionCollection> collection;
  if (!Took(manager->get_EnumEveryConnection(collection.put()), collection)) return false;
  return Walk(manager.get(), collection.get(), kIidEnumEveryConnection,
              [&](SharingConnection& connection) {
                visit(connection);
                return true;
              });
}

bool Win32SharingPort::ForPublicConnections(
    SharingProgId id, const std::function<bool(SharingConnection&)>& visit) {
  ComScope com;
  ComRef<INetSharingManager> manager = CreateManager(ProgId(id));
  if (!manager) return false;
  ComRef<INetSharingPublicConnectionCollection> collection;
  if (!Took(manager->get_EnumPublicConnections(ICSSC_DEFAULT, collection.put()), collection))
    return false;
  return Walk(manager.get(), collection.get(), kIidEnumPublicConnection, visit);
}

int Win32SharingPort::PublicCount(SharingProgId id) {
  ComScope com;
  ComRef<INetSharingManager> manager = CreateManager(ProgId(id));
  ComRef<INetSharingPublicConnectionCollection> collection;
  LONG count = 0;
  if (!manager ||
      !Took(manager->get_EnumPublicConnections(ICSSC_DEFAULT, collection.put()), collection) ||
      FAILED(collection->get_Count(&count)))
    return 0;
  return count > 0 ? static_cast<int>(count) : 0;
}

int Win32SharingPort::PrivateCount(SharingProgId id) {
  ComScope com;
  ComRef<INetSharingManager> manager = CreateManager(ProgId(id));
  ComRef<INetSharingPrivateConnectionCollection> collection;
  LONG count = 0;
  if (!manager ||
      !Took(manager->get_EnumPrivateConnections(ICSSC_DEFAULT, collection.put()), collection) ||
      FAILED(collection->get_Count(&count)))
    return 0;
  return count > 0 ? static_cast<int>(count) : 0;
}

}  // namespace lumora
