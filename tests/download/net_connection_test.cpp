// Bringing the network up on each state of the device's network, and the proxy it hands to the run.
#include "download/net_connection.h"

#include <gtest/gtest.h>

#include "common/settings_store.h"
#include "qfdevice/network.h"
#include "support/temp_device.h"

namespace qf::test {
namespace {

using Link = device::NetworkState::Link;

class NetConnectionTest : public ::testing::Test {
  protected:
    void SetUp() override { settings_.Open(u"Thornbeckvale", u"Quillfeed"); }
    void Network(Link link, const std::string& proxy = "", std::int64_t delay_ms = 0) {
        device::NetworkState state;
        state.link = link, state.proxy = proxy, state.connect_delay_ms = delay_ms;
        ASSERT_TRUE(device::SaveNetworkState(state));
    }

    TempDevice device_;
    SettingsStore settings_;
    NetConnection connection_;
    ProxySettings proxy_;
};

TEST_F(NetConnectionTest, AConnectionAlreadyUpIsBorrowed) {
    struct Case {
        std::string device_proxy;
        bool use_proxy;
        std::u16string address, port;
    } cases[] = {{"", false, u"", u""},
                 {"proxy.example:8080", true, u"proxy.example", u"8080"},
                 {"fe80::1:8080", true, u"fe80::1", u"8080"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.device_proxy);
        Network(Link::kUp, c.device_proxy);
        EXPECT_TRUE(connection_.Connect(settings_, proxy_));
        EXPECT_TRUE(connection_.borrowed());
        EXPECT_EQ(std::tuple(proxy_.use_proxy, proxy_.address, proxy_.port),
                  std::tuple(c.use_proxy, c.address, c.port));
        connection_.Release();
        EXPECT_FALSE(connection_.IsConnected());
    }
}

TEST_F(NetConnectionTest, AConnectionIsAskedForOnlyWhenAllowedUnlessConnectionManagerIsOff) {
    Network(Link::kSlow, "", 1500);
    EXPECT_FALSE(connection_.Connect(settings_, proxy_));
    settings_.WriteDword(u"Settings", u"UseAutoConnect", 1);
    Network(Link::kDown);
    EXPECT_FALSE(connection_.Connect(settings_, proxy_));
    Network(Link::kSlow, "", 1500);
    EXPECT_TRUE(connection_.Connect(settings_, proxy_));
    EXPECT_FALSE(connection_.borrowed());
    EXPECT_EQ(device::CurrentNetworkState().link, Link::kUp);
    // Its own connection is watched: the link going down clears connected.
    Network(Link::kDown);
    for (int i = 0; i < 100 && connection_.IsConnected(); ++i) Sleep(20);
    EXPECT_FALSE(connection_.IsConnected());
    connection_.Release();

    // Without Connection Manager the registry's proxy stands, whatever the network.
    Network(Link::kDown);
    settings_.WriteDword(u"Settings", u"UseCM", 0);
    settings_.WriteDword(u"Settings", u"UseProxy", 1);
    for (auto [key, value] : {std::pair(u"ProxyAddress", u"cache.local"), {u"ProxyPort", u"3128"}})
        settings_.WriteString(u"Settings", key, value);
    EXPECT_TRUE(connection_.Connect(settings_, proxy_));
    EXPECT_TRUE(connection_.IsConnected());
    EXPECT_EQ(proxy_.HostAndPort(), u"cache.local:3128");
    EXPECT_TRUE(proxy_.use_proxy);
}

}  // namespace
}  // namespace qf::test
