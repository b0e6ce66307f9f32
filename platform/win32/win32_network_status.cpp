// clang-format off
#include <windows.h>
#include <initguid.h>
#include <netfw.h>
#include <netlistmgr.h>
// clang-format on

#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_network_status.h"
#include "platform/win32/win32_text.h"

namespace platform::win32 {
namespace {

// A BSTR freed with its owner.
class Bstr {
 public:
  Bstr() = default;
  ~Bstr() { SysFreeString(text_); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  BSTR* put() {
    SysFreeString(text_);
    text_ = nullptr;
    return &text_;
  }
  std::string Utf8() const { return WideToUtf8(text_); }

 private:
  BSTR text_ = nullptr;
};

NetworkProfile ProfileOf(NLM_NETWORK_CATEGORY category) {
  if (category == NLM_NETWORK_CATEGORY_PRIVATE) return NetworkProfile::Private;
  if (category == NLM_NETWORK_CATEGORY_DOMAIN_AUTHENTICATED) return NetworkProfile::Domain;
  return NetworkProfile::Public;
}

RuleProtocol ProtocolOf(LONG protocol) {
  if (protocol == NET_FW_IP_PROTOCOL_TCP) return RuleProtocol::Tcp;
  if (protocol == NET_FW_IP_PROTOCOL_UDP) return RuleProtocol::Udp;
  // 256 is "any protocol"; the headers have no name for it.
  if (protocol == 256) return RuleProtocol::Any;
  return RuleProtocol::Other;
}

ComPtr<INetFwPolicy2> Policy() {
  ComPtr<INetFwPolicy2> policy;
  if (FAILED(CoCreateInstance(CLSID_NetFwPolicy2, nullptr, CLSCTX_INPROC_SERVER, IID_INetFwPolicy2,
                              policy.put_void()))) {
    policy.reset();
  }
  return policy;
}

// One rule's fields; nothing when the rule will not say what it is.
std::optional<FirewallRule> ReadRule(INetFwRule* rule) {
  NET_FW_RULE_DIRECTION direction{};
  NET_FW_ACTION action{};
  VARIANT_BOOL enabled = VARIANT_FALSE;
  LONG protocol = 0;
  LONG profiles = 0;
  if (FAILED(rule->get_Direction(&direction)) || direction != NET_FW_RULE_DIR_IN ||
      FAILED(rule->get_Action(&action)) || FAILED(rule->get_Enabled(&enabled)) ||
      FAILED(rule->get_Protocol(&protocol)) || FAILED(rule->get_Profiles(&profiles))) {
    return std::nullopt;
  }
  Bstr name;
  Bstr program;
  Bstr ports;
  // A rule without a name, program or ports names none: any program, any port.
  if (FAILED(rule->get_Name(name.put()))) return std::nullopt;
  if (FAILED(rule->get_ApplicationName(program.put()))) program.put();
  if (FAILED(rule->get_LocalPorts(ports.put()))) ports.put();
  FirewallRule read;
  read.name = name.Utf8();
  read.program = program.Utf8();
  read.protocol = ProtocolOf(protocol);
  read.local_ports = ports.Utf8();
  read.allow = action == NET_FW_ACTION_ALLOW;
  read.enabled = enabled != VARIANT_FALSE;
  read.profiles = static_cast<unsigned>(profiles) & 7u;
  return read;
}

}  // namespace

std::optional<std::vector<ConnectedNetwork>> Win32NetworkStatus::ConnectedNetworks() {
  ComInitialization com;
  ComPtr<INetworkListManager> manager;
  if (FAILED(CoCreateInstance(CLSID_NetworkListManager, nullptr, CLSCTX_ALL,
                              IID_INetworkListManager, manager.put_void()))) {
    return std::nullopt;
  }
  ComPtr<IEnumNetworks> networks;
  if (FAILED(manager->GetNetworks(NLM_ENUM_NETWORK_CONNECTED,
                                  reinterpret_cast<IEnumNetworks**>(networks.put_void())))) {
    return std::nullopt;
  }
  std::vector<ConnectedNetwork> connected;
  while (true) {
    ComPtr<INetwork> network;
    ULONG fetched = 0;
    if (networks->Next(1, reinterpret_cast<INetwork**>(network.put_void()), &fetched) != S_OK ||
        fetched == 0) {
      break;
    }
    Bstr name;
    NLM_NETWORK_CATEGORY category{};
    if (FAILED(network->GetName(name.put())) || FAILED(network->GetCategory(&category))) {
      return std::nullopt;
    }
    connected.push_back({name.Utf8(), ProfileOf(category)});
  }
  return connected;
}

std::optional<bool> Win32NetworkStatus::FirewallOn(NetworkProfile profile) {
  ComInitialization com;
  ComPtr<INetFwPolicy2> policy = Policy();
  VARIANT_BOOL on = VARIANT_FALSE;
  if (!policy ||
      FAILED(policy->get_FirewallEnabled(static_cast<NET_FW_PROFILE_TYPE2>(profile), &on))) {
    return std::nullopt;
  }
  return on != VARIANT_FALSE;
}

std::optional<std::vector<FirewallRule>> Win32NetworkStatus::InboundRules() {
  ComInitialization com;
  ComPtr<INetFwPolicy2> policy = Policy();
  ComPtr<INetFwRules> rules;
  if (!policy || FAILED(policy->get_Rules(reinterpret_cast<INetFwRules**>(rules.put_void())))) {
    return std::nullopt;
  }
  ComPtr<IUnknown> unknown;
  ComPtr<IEnumVARIANT> each;
  if (FAILED(rules->get__NewEnum(reinterpret_cast<IUnknown**>(unknown.put_void()))) || !unknown ||
      FAILED(unknown->QueryInterface(IID_IEnumVARIANT, each.put_void()))) {
    return std::nullopt;
  }
  std::vector<FirewallRule> inbound;
  while (true) {
    VARIANT item;
    VariantInit(&item);
    ULONG fetched = 0;
    if (each->Next(1, &item, &fetched) != S_OK || fetched == 0) break;
    ComPtr<INetFwRule> rule;
    if (item.vt == VT_DISPATCH && item.pdispVal != nullptr &&
        SUCCEEDED(item.pdispVal->QueryInterface(IID_INetFwRule, rule.put_void()))) {
      if (auto read = ReadRule(rule.get())) inbound.push_back(std::move(*read));
    }
    VariantClear(&item);
  }
  return inbound;
}

}  // namespace platform::win32
