#include "access/nearby_rule.h"

#include <gtest/gtest.h>

namespace {

using platform::Ipv4Interface;

std::uint32_t Ip(const char* text) {
  std::uint32_t address = 0;
  EXPECT_TRUE(platform::Ipv4FromText(text, address)) << text;
  return address;
}

Ipv4Interface Adapter(const char* address, const char* netmask, bool up = true,
                      bool tunnel = false) {
  return {Ip(address), Ip(netmask), up, tunnel};
}

// A laptop on a home network, with a VPN, a disconnected Ethernet port and a
// public /8 from an odd provider.
const std::vector<Ipv4Interface> kAdapters = {
    Adapter("192.168.1.20", "255.255.255.0"),
    Adapter("10.8.0.6", "255.255.255.0", true, true),  // VPN tunnel
    Adapter("172.20.5.9", "255.255.0.0", false),       // cable unplugged
    Adapter("44.3.2.1", "255.0.0.0"),                  // a public /8
    Adapter("169.254.7.7", "255.255.0.0"),             // link-local
    Adapter("127.0.0.1", "255.0.0.0"),
};

struct Case {
  const char* source;
  bool nearby;
  const char* why;
};

class NearbyRule : public testing::TestWithParam<Case> {};

TEST_P(NearbyRule, DecidesByTheAdaptersOnLinkPrefixes) {
  EXPECT_EQ(access_policy::IsNearbySource(Ip(GetParam().source), kAdapters), GetParam().nearby)
      << GetParam().source << ": " << GetParam().why;
}

INSTANTIATE_TEST_SUITE_P(
    Sources, NearbyRule,
    testing::Values(Case{"127.0.0.1", true, "loopback"},
                    Case{"127.9.9.9", true, "all of 127/8 is loopback"},
                    Case{"192.168.1.77", true, "on the home subnet"},
                    Case{"192.168.1.255", true, "the subnet's last address"},
                    Case{"192.168.2.77", false, "a private address of another subnet"},
                    Case{"10.8.0.1", false, "behind the VPN tunnel"},
                    Case{"10.1.1.1", false, "private, but on no adapter's subnet"},
                    Case{"172.20.9.9", false, "the subnet of an adapter that is down"},
                    Case{"44.3.200.7", true, "inside the /16 around the /8's own address"},
                    Case{"44.4.0.1", false, "in the /8 but outside that /16"},
                    Case{"169.254.200.1", true, "link-local on a link-local adapter"},
                    Case{"100.64.0.1", false, "shared address space no longer counts by itself"},
                    Case{"8.8.8.8", false, "the internet"}, Case{"0.0.0.0", false, "no address"},
                    Case{"255.255.255.255", false, "broadcast"}),
    [](const testing::TestParamInfo<Case>& case_info) {
      std::string name = case_info.param.source;
      for (char& c : name) c = c == '.' ? '_' : c;
      return name;
    });

TEST(NearbyRule, AZeroPrefixOpensNoMoreThanItsSixteen) {
  const std::vector<Ipv4Interface> own = {Adapter("203.0.113.20", "0.0.0.0")};
  EXPECT_TRUE(access_policy::IsNearbySource(Ip("203.0.7.7"), own));
  EXPECT_FALSE(access_policy::IsNearbySource(Ip("8.8.8.8"), own));
  EXPECT_FALSE(access_policy::IsNearbySource(Ip("203.1.0.1"), own));
}

TEST(NearbyRule, AHostRouteAcceptsOnlyItself) {
  const std::vector<Ipv4Interface> own = {Adapter("198.51.100.9", "255.255.255.255")};
  EXPECT_TRUE(access_policy::IsNearbySource(Ip("198.51.100.9"), own));
  EXPECT_FALSE(access_policy::IsNearbySource(Ip("198.51.100.10"), own));
}

TEST(NearbyRule, WithoutAdaptersOnlyLoopbackIsNearby) {
  EXPECT_TRUE(access_policy::IsNearbySource(Ip("127.0.0.1"), {}));
  EXPECT_FALSE(access_policy::IsNearbySource(Ip("192.168.1.5"), {}));
}

struct RuleFixture {
  int reads = 0;
  std::vector<Ipv4Interface> adapters = {Adapter("192.168.1.20", "255.255.255.0")};
  std::chrono::steady_clock::time_point now{};
  access_policy::TNearbyRule rule{[this] {
                                    ++reads;
                                    return adapters;
                                  },
                                  [this] { return now; }, std::chrono::seconds(5)};
};

TEST(NearbyRuleCache, ReadsAgainAtMostEveryFiveSecondsForSourcesNotFound) {
  RuleFixture t;
  EXPECT_TRUE(t.rule.IsNearby(Ip("192.168.1.5")));
  EXPECT_EQ(t.reads, 1);
  EXPECT_TRUE(t.rule.IsNearby(Ip("192.168.1.6")));
  EXPECT_FALSE(t.rule.IsNearby(Ip("8.8.8.8")));
  EXPECT_FALSE(t.rule.IsNearby(Ip("8.8.4.4")));
  EXPECT_EQ(t.reads, 1) << "a flood of far senders does not read the list each time";
  t.adapters.push_back(Adapter("192.168.50.2", "255.255.255.0"));  // a new network
  t.now += std::chrono::seconds(4);
  EXPECT_FALSE(t.rule.IsNearby(Ip("192.168.50.9")));
  t.now += std::chrono::seconds(1);
  EXPECT_TRUE(t.rule.IsNearby(Ip("192.168.50.9")));
  EXPECT_EQ(t.reads, 2);
}

TEST(NearbyRuleCache, AnAddressChangeIsSeenAtOnce) {
  RuleFixture t;
  EXPECT_FALSE(t.rule.IsNearby(Ip("10.0.0.9")));
  t.adapters = {Adapter("10.0.0.2", "255.255.255.0")};
  t.rule.AddressesChanged();
  EXPECT_TRUE(t.rule.IsNearby(Ip("10.0.0.9")));
  EXPECT_FALSE(t.rule.IsNearby(Ip("192.168.1.5"))) << "the old network is gone";
  EXPECT_EQ(t.reads, 2);
}

TEST(NearbyRuleCache, ThePcsAddressesAreReadAtMostEveryFiveSecondsAndAtOnceAfterAChange) {
  RuleFixture t;
  const std::vector<std::uint32_t> home = {Ip("192.168.1.20")};
  EXPECT_EQ(t.rule.Addresses(), home);
  for (int i = 0; i < 100; ++i) t.rule.Addresses();
  EXPECT_TRUE(t.rule.IsNearby(Ip("192.168.1.5")));
  EXPECT_EQ(t.reads, 1) << "a flood of requests does not read the adapters each";
  t.adapters.push_back(Adapter("10.0.0.2", "255.255.255.0"));
  t.now += std::chrono::seconds(5);
  EXPECT_EQ(t.rule.Addresses(), (std::vector<std::uint32_t>{Ip("192.168.1.20"), Ip("10.0.0.2")}));
  EXPECT_EQ(t.reads, 2);
  t.adapters = {Adapter("172.16.0.4", "255.255.0.0")};
  t.rule.AddressesChanged();
  EXPECT_EQ(t.rule.Addresses(), (std::vector<std::uint32_t>{Ip("172.16.0.4")}));
  EXPECT_EQ(t.reads, 3);
}

TEST(Ipv4Text, RoundTripsAndRejectsMalformedText) {
  EXPECT_EQ(platform::Ipv4ToText(Ip("1.2.3.4")), "1.2.3.4");
  std::uint32_t address = 0;
  for (const char* bad :
       {"", "1.2.3", "1.2.3.4.5", "256.1.1.1", "1..2.3", "a.b.c.d", "1.2.3.4 ", "1.2.3.0004"}) {
    EXPECT_FALSE(platform::Ipv4FromText(bad, address)) << bad;
  }
}

}  // namespace

namespace {

// Under Wine no address-change report ever comes, and one can be lost over
// sleep: a network the PC left must stop being served all the same.
TEST(NearbyRuleCache, ANetworkThePcLeftIsFarWithinThirtySecondsWithoutAReport) {
  RuleFixture t;
  EXPECT_TRUE(t.rule.IsNearby(Ip("192.168.1.5")));
  t.adapters = {Adapter("10.0.0.2", "255.255.255.0")};  // moved to another network
  t.now += std::chrono::seconds(29);
  EXPECT_TRUE(t.rule.IsNearby(Ip("192.168.1.5"))) << "trusted for up to 30 s";
  EXPECT_EQ(t.reads, 1) << "hits read nothing before then";
  t.now += std::chrono::seconds(1);
  EXPECT_FALSE(t.rule.IsNearby(Ip("192.168.1.5")));
  EXPECT_TRUE(t.rule.IsNearby(Ip("10.0.0.9")));
  EXPECT_EQ(t.reads, 2);
}

}  // namespace
