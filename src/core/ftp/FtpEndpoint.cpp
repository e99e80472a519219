#include "ftp/FtpEndpoint.h"

#include <algorithm>

namespace tolvane {
namespace {

std::optional<int> ParsePort(std::string_view text) {
  if (text.empty() || text.size() > 5) return std::nullopt;
  int port = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    port = port * 10 + (c - '0');
  }
  if (port < 1 || port > 65535) return std::nullopt;
  return port;
}

bool PlainHostText(std::string_view host) {
  return !host.empty() && std::none_of(host.begin(), host.end(), [](char c) {
    return static_cast<unsigned char>(c) <= 0x20 || c == 0x7F || c == '[' || c == ']' || c == '/' ||
           c == '@';
  });
}

}  // namespace

std::optional<FtpEndpoint> ParseHostField(std::string_view field, int defaultPort) {
  // Spaces typed around the name are not part of it.
  while (!field.empty() && (field.front() == ' ' || field.front() == '\t')) field.remove_prefix(1);
  while (!field.empty() && (field.back() == ' ' || field.back() == '\t')) field.remove_suffix(1);
  FtpEndpoint endpoint;
  std::string_view rest;
  if (!field.empty() && field.front() == '[') {
    size_t close = field.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    endpoint.host = std::string(field.substr(1, close - 1));
    rest = field.substr(close + 1);
    if (endpoint.host.find(':') == std::string::npos) return std::nullopt;
  } else {
    size_t colon = field.find(':');
    // Two or more colons without brackets: a bare IPv6 address, which has no room for a port.
    if (colon != std::string_view::npos && field.find(':', colon + 1) != std::string_view::npos) {
      endpoint.host = std::string(field);
      return PlainHostText(field) ? std::optional(endpoint) : std::nullopt;
    }
    endpoint.host = std::string(field.substr(0, colon));
    rest = colon == std::string_view::npos ? std::string_view() : field.substr(colon);
  }
  if (!PlainHostText(endpoint.host)) return std::nullopt;
  endpoint.port = defaultPort;
  if (!rest.empty()) {
    if (rest.front() != ':') return std::nullopt;
    std::optional<int> port = ParsePort(rest.substr(1));
    if (!port) return std::nullopt;
    endpoint.port = *port;
  }
  return endpoint;
}

}  // namespace tolvane
