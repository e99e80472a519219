#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>

#include "ftp/CrLfEncoder.h"
#include "ftp/FtpDataAddress.h"
#include "ftp/FtpEndpoint.h"
#include "ftp/FtpWireText.h"

namespace tolvane {
namespace {

TEST(FtpEndpoint, ReadsHostAndPortForms) {
  struct Case {
    const char* field;
    const char* host;
    int port;
  };
  for (const Case& c :
       {Case{"ftp.example.jp", "ftp.example.jp", 21},
        Case{"ftp.example.jp:2121", "ftp.example.jp", 2121},
        Case{"127.0.0.1:65535", "127.0.0.1", 65535}, Case{"[::1]:2121", "::1", 2121},
        Case{"[fe80::1%eth0]", "fe80::1%eth0", 21}, Case{"2001:db8::7", "2001:db8::7", 21},
        Case{"  ftp.example.jp  ", "ftp.example.jp", 21}}) {
    std::optional<FtpEndpoint> e = ParseHostField(c.field);
    ASSERT_TRUE(e) << c.field;
    EXPECT_EQ(e->host, c.host) << c.field;
    EXPECT_EQ(e->port, c.port) << c.field;
  }
  for (const char* bad :
       {"", "   ", "host:", "host:0", "host:65536", "host:21a", "host:-1", "[::1", "[::1]x",
        "[::1]:", "[host]:21", "ho st", "host\r\nUSER x", ":21", "user@host"}) {
    EXPECT_FALSE(ParseHostField(bad)) << bad;
  }
}

TEST(FtpDataAddress, ReadsPassiveReplies) {
  EXPECT_EQ(ParseEpsvPort("229 Entering Extended Passive Mode (|||6446|)"), 6446);
  EXPECT_EQ(ParseEpsvPort("229 Entering Extended Passive Mode (!!!6446!)"), 6446);
  EXPECT_FALSE(ParseEpsvPort("229 Entering Extended Passive Mode (|||0|)"));
  EXPECT_FALSE(ParseEpsvPort("229 Entering Extended Passive Mode (|||99999|)"));
  EXPECT_FALSE(ParseEpsvPort("229 Entering Extended Passive Mode"));

  auto passiveMode = ParsePasv("227 Entering Passive Mode (192,168,1,2,25,30).");
  ASSERT_TRUE(passiveMode);
  EXPECT_EQ(passiveMode->ipv4, 0xC0A80102u);
  EXPECT_EQ(passiveMode->port, 25 * 256 + 30);
  EXPECT_EQ(ParsePasv("227 =10,0,0,1,4,1")->port, 1025);  // no brackets
  EXPECT_FALSE(ParsePasv("227 Entering Passive Mode (192,168,1,256,25,30)"));
  EXPECT_FALSE(ParsePasv("227 Entering Passive Mode (192,168,1,2,25)"));
}

TEST(FtpDataAddress, KnowsWhichAddressesAreUnroutable) {
  for (const char* a : {"10.1.2.3", "172.16.0.1", "172.31.255.255", "192.168.0.1", "127.0.0.2",
                        "169.254.1.1", "100.64.0.1", "0.0.0.0", "224.0.0.1"}) {
    in_addr in{};
    inet_pton(AF_INET, a, &in);
    EXPECT_TRUE(IsPrivateOrUnroutable(ntohl(in.s_addr))) << a;
  }
  for (const char* a : {"8.8.8.8", "172.32.0.1", "100.128.0.1", "192.169.0.1", "203.0.113.5"}) {
    in_addr in{};
    inet_pton(AF_INET, a, &in);
    EXPECT_FALSE(IsPrivateOrUnroutable(ntohl(in.s_addr))) << a;
  }
}

TEST(FtpDataAddress, WritesActiveArguments) {
  sockaddr_storage v4{};
  auto& in = reinterpret_cast<sockaddr_in&>(v4);
  in.sin_family = AF_INET;
  in.sin_port = htons(40000);
  inet_pton(AF_INET, "127.0.0.1", &in.sin_addr);
  EXPECT_EQ(EprtArgument(v4), "|1|127.0.0.1|40000|");
  EXPECT_EQ(PortArgument(v4), "127,0,0,1,156,64");

  sockaddr_storage v6{};
  auto& in6 = reinterpret_cast<sockaddr_in6&>(v6);
  in6.sin6_family = AF_INET6;
  in6.sin6_port = htons(2121);
  in6.sin6_addr = in6addr_loopback;
  EXPECT_EQ(EprtArgument(v6), "|2|::1|2121|");
  EXPECT_FALSE(PortArgument(v6));
}

TEST(CrLfEncoder, EndsEveryLineWithOneCrLf) {
  CrLfEncoder encoder;
  EXPECT_EQ(encoder.Encode("a\nb\r\nc\rd\n\n"), "a\r\nb\r\nc\rd\r\n\r\n");
  // A CR LF split between two chunks stays one line end.
  CrLfEncoder split;
  std::string wire = split.Encode("a\r");
  wire += split.Encode("\nb\n");
  EXPECT_EQ(wire, "a\r\nb\r\n");
  CrLfEncoder lone;
  wire = lone.Encode("a\r");
  wire += lone.Encode("b\n");
  EXPECT_EQ(wire, "a\rb\r\n");
}

TEST(FtpWireText, RefusesWhatWouldInjectCommandsOrCannotBeSpelled) {
  using namespace std::string_literals;
  for (const std::string& bad : {"a\r\nDELE b"s, "a\nb"s, "a\rb"s, "a\0b"s}) {
    EXPECT_TRUE(BreaksCommandLine(bad));
    EXPECT_FALSE(ToWire(bad, WireEncoding::Utf8));
    EXPECT_FALSE(ToWire(bad, WireEncoding::Cp932));
  }
  EXPECT_EQ(ToWire("表 示.html", WireEncoding::Cp932), std::string("\x95\x5C \x8E\xA6.html"));
  EXPECT_EQ(ToWire("表 示.html", WireEncoding::Utf8), "表 示.html");
  EXPECT_EQ(ToWire("café", WireEncoding::Utf8), "café");
  EXPECT_FALSE(ToWire("café", WireEncoding::Cp932));
  EXPECT_FALSE(ToWire("\xFF\xFE", WireEncoding::Utf8));  // not UTF-8 at all
}

TEST(FtpWireText, MakesReplyLinesSafeToShow) {
  EXPECT_EQ(ReplyTextForDisplay("550 No\x07 such\x1b[2J file\x7F", WireEncoding::Utf8),
            "550 No such[2J file");
  EXPECT_EQ(ReplyTextForDisplay("550 \x83\x74\x83\x40\x83\x43\x83\x8B", WireEncoding::Cp932),
            "550 ファイル");
  EXPECT_EQ(ReplyTextForDisplay("530 ログインできません", WireEncoding::Cp932),
            "530 ログインできません");  // UTF-8 from a server that did not announce it
  EXPECT_EQ(ReplyTextForDisplay("550 \xFF\xC2\x85x", WireEncoding::Utf8),
            "550 \xEF\xBF\xBDx");  // invalid byte replaced, C1 control (U+0085) removed
  EXPECT_LE(ReplyTextForDisplay(std::string(5000, 'x'), WireEncoding::Utf8).size(), 1024u);
  // Line separators and bidirectional controls could split the message or reorder it.
  EXPECT_EQ(ReplyTextForDisplay("550 a\u2028b\u2029c\u202Ed\u2066e\u2069f\u200Fg\u2027h",
                                WireEncoding::Utf8),
            "550 abcdefg\u2027h");
}

}  // namespace
}  // namespace tolvane
