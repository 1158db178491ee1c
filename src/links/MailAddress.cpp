#include "links/MailAddress.h"

#include <algorithm>
#include <string>

#include "common/Text.h"
#include "links/LinkResolution.h"

namespace {

bool IsLabelChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
         static_cast<unsigned char>(c) >= 0x80;  // a name in any script
}

bool IsValidDomain(std::string_view domain) {
  if (domain.size() > 2 && domain.front() == '[' && domain.back() == ']') return true;
  if (domain.empty() || domain.size() > 253) return false;
  size_t start = 0;
  while (true) {
    const size_t dot = domain.find('.', start);
    const std::string_view label =
        domain.substr(start, dot == std::string_view::npos ? dot : dot - start);
    if (label.empty() || label.size() > 63 || label.front() == '-' || label.back() == '-' ||
        !std::all_of(label.begin(), label.end(), IsLabelChar))
      return false;
    if (dot == std::string_view::npos) return true;
    start = dot + 1;
  }
}

bool IsValidAddress(std::string_view address) {
  const size_t at = address.rfind('@');
  if (at == std::string_view::npos || at == 0) return false;
  const std::string_view local = address.substr(0, at);
  const bool printable = std::all_of(local.begin(), local.end(), [](char c) {
    return static_cast<unsigned char>(c) > 0x20 && c != 0x7F;
  });
  return printable && local.find('@') == std::string_view::npos &&
         IsValidDomain(address.substr(at + 1));
}

}  // namespace

bool IsValidMailLink(std::string_view link) {
  const std::string_view kScheme = "mailto:";
  if (link.size() < kScheme.size() || !EqualsNoCase(link.substr(0, kScheme.size()), kScheme))
    return false;
  const std::string to =
      PercentDecode(link.substr(kScheme.size(), link.find('?') - kScheme.size()));
  if (to.empty()) return false;
  size_t start = 0;
  while (true) {
    const size_t comma = to.find(',', start);
    const std::string address = Trim(
        std::string_view(to).substr(start, comma == std::string::npos ? comma : comma - start));
    if (!IsValidAddress(address)) return false;
    if (comma == std::string::npos) return true;
    start = comma + 1;
  }
}
