#include "platform/digest.h"

#include <openssl/evp.h>

namespace yx {

std::string md5Hex(std::string_view bytes) {
  unsigned char md[EVP_MAX_MD_SIZE];
  unsigned int len = 0;
  if (EVP_Digest(bytes.data(), bytes.size(), md, &len, EVP_md5(), nullptr) != 1) return {};
  static const char hex[] = "0123456789abcdef";
  std::string out;
  out.reserve(len * 2);
  for (unsigned i = 0; i < len; ++i) {
    out.push_back(hex[md[i] >> 4]);
    out.push_back(hex[md[i] & 15]);
  }
  return out;
}

}  // namespace yx
