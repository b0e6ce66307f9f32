#include "protocol/source_filter.h"

#include <gtest/gtest.h>

namespace {

using platform::Ipv4Interface;

std::uint32_t Ip(const char* text) {
  std::uint32_t address = 0;
  EXPECT_TRUE(platform::Ipv4FromText(text, address)) << text;
  return address;
}

struct Case {
  const char* source;
  bool accepted;
};

class FixedRanges : public testing::TestWithParam<Case> {};

TEST_P(FixedRanges, DecideWithoutAnyInterface) {
  EXPECT_EQ(protocol::IsLocalNetworkSource(Ip(GetParam().source), {}), GetParam().accepted)
      << GetParam().source;
}

INSTANTIATE_TEST_SUITE_P(
    Edges, FixedRanges,
    testing::Values(Case{"127.0.0.1", true}, Case{"127.255.255.254", true},
                    Case{"126.255.255.255", false}, Case{"128.0.0.0", false},
                    Case{"10.0.0.0", true}, Case{"10.255.255.255", true},
                    Case{"11.0.0.1", false}, Case{"9.255.255.255", false},
                    Case{"172.16.0.1", true}, Case{"172.31.255.255", true},
                    Case{"172.15.255.255", false}, Case{"172.32.0.0", false},
                    Case{"192.168.0.1", true}, Case{"192.168.255.255", true},
                    Case{"192.167.255.255", false}, Case{"192.169.0.0", false},
                    Case{"169.254.1.1", true}, Case{"169.253.255.255", false},
                    Case{"169.255.0.0", false}, Case{"100.64.0.0", true},
                    Case{"100.127.255.255", true}, Case{"100.63.255.255", false},
                    Case{"100.128.0.0", false}, Case{"8.8.8.8", false},
                    Case{"0.0.0.0", false}, Case{"255.255.255.255", false}),
    [](const testing::TestParamInfo<Case>& case_info) {
      std::string name = case_info.param.source;
      for (char& c : name) c = c == '.' ? '_' : c;
      return name;
    });

TEST(OwnSubnets, AcceptAPublicSubnetTheHostIsOn) {
  std::vector<Ipv4Interface> own = {{Ip("203.0.113.20"), Ip("255.255.255.0")}};
  EXPECT_TRUE(protocol::IsLocalNetworkSource(Ip("203.0.113.77"), own));
  EXPECT_FALSE(protocol::IsLocalNetworkSource(Ip("203.0.114.77"), own));
}

TEST(OwnSubnets, AZeroMaskDoesNotOpenTheInternet) {
  std::vector<Ipv4Interface> own = {{Ip("203.0.113.20"), 0}};
  EXPECT_FALSE(protocol::IsLocalNetworkSource(Ip("8.8.8.8"), own));
}

TEST(OwnSubnets, AHostRouteAcceptsOnlyItself) {
  std::vector<Ipv4Interface> own = {{Ip("198.51.100.9"), 0xFFFFFFFFu}};
  EXPECT_TRUE(protocol::IsLocalNetworkSource(Ip("198.51.100.9"), own));
  EXPECT_FALSE(protocol::IsLocalNetworkSource(Ip("198.51.100.10"), own));
}

TEST(Filter, ReadsInterfacesOnlyForOutsideSourcesAndCachesThem) {
  int reads = 0;
  auto now = std::chrono::steady_clock::time_point{};
  protocol::TLocalNetworkFilter filter(
      [&] {
        ++reads;
        return std::vector<Ipv4Interface>{{Ip("203.0.113.20"), Ip("255.255.255.0")}};
      },
      [&] { return now; }, std::chrono::seconds(5));
  EXPECT_TRUE(filter.Accepts(Ip("192.168.1.5")));
  EXPECT_EQ(reads, 0);
  EXPECT_TRUE(filter.Accepts(Ip("203.0.113.1")));
  EXPECT_FALSE(filter.Accepts(Ip("8.8.8.8")));
  EXPECT_EQ(reads, 1);
  now += std::chrono::seconds(5);
  EXPECT_FALSE(filter.Accepts(Ip("8.8.4.4")));
  EXPECT_EQ(reads, 2) << "a changed network is seen after the refresh period";
}

TEST(Ipv4Text, RoundTripsAndRejectsMalformedText) {
  EXPECT_EQ(platform::Ipv4ToText(Ip("1.2.3.4")), "1.2.3.4");
  std::uint32_t address = 0;
  for (const char* bad : {"", "1.2.3", "1.2.3.4.5", "256.1.1.1", "1..2.3", "a.b.c.d", "1.2.3.4 ",
                          "1.2.3.0004"}) {
    EXPECT_FALSE(platform::Ipv4FromText(bad, address)) << bad;
  }
}

}  // namespace
