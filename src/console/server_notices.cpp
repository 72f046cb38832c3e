// Notices about servers, held until the calculator can show them.
#include "console/server_notices.h"

namespace quipular {
namespace {

std::vector<ServerNotice> g_notices;  // posted and not yet shown

}  // namespace

void PostServerNotice(std::string text, std::string sound) {
  g_notices.push_back({std::move(text), std::move(sound)});
}

std::vector<ServerNotice> TakeServerNotices() {
  std::vector<ServerNotice> taken;
  taken.swap(g_notices);
  return taken;
}

}  // namespace quipular
