// Turns what a caller hands to OpenURL into an address the desktop's opener understands.
#include "platform/events/web_address.h"

#include <limits.h>
#include <stdlib.h>

namespace {
bool StartsWithScheme(const String& address) {
  String head = address.substr(0, 5);
  for (char16_t& c : head)
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
  return head == u"http:" || head == u"file:";
}
}  // namespace

String NormaliseWebAddress(const String& address) {
  if (StartsWithScheme(address)) return address;
  const auto hash = address.find(u'#');
  const String path = address.substr(0, hash);
  const String anchor = hash == String::npos ? String() : address.substr(hash);
  char resolved[PATH_MAX];
  if (!path.empty() && realpath(ToUtf8(path).c_str(), resolved) != nullptr)
    return u"file:" + FromUtf8(resolved) + anchor;
  return u"http:" + address;
}
