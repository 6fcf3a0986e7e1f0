#include "platform/digest.h"

#include <glib.h>

namespace yx {

std::string md5Hex(std::string_view bytes) {
  // GLib's checksums: a library every program here loads already, where
  // OpenSSL would be loaded and relocated at start for this one digest.
  gchar* hex = g_compute_checksum_for_data(G_CHECKSUM_MD5, reinterpret_cast<const guchar*>(bytes.data()), bytes.size());
  if (!hex) return {};
  std::string out(hex);
  g_free(hex);
  return out;
}

}  // namespace yx
