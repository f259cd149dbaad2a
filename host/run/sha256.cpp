#include "run/sha256.h"

#include <openssl/evp.h>

#include "nrw/core.h"

namespace nrw {

struct Sha256::Context {
  EVP_MD_CTX* ctx = EVP_MD_CTX_new();
  ~Context() { EVP_MD_CTX_free(ctx); }
  void Start() {
    if (ctx == nullptr || EVP_DigestInit_ex(ctx, EVP_sha256(), nullptr) != 1) {
      throw Exception("Não foi possível calcular o SHA-256.");
    }
  }
};

Sha256::Sha256() : context_(std::make_unique<Context>()) { context_->Start(); }

Sha256::~Sha256() = default;

void Sha256::Update(const void* data, size_t size) {
  if (size > 0) EVP_DigestUpdate(context_->ctx, data, size);
}

std::string Sha256::HexDigest() {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int size = 0;
  EVP_DigestFinal_ex(context_->ctx, digest, &size);
  static const char kHex[] = "0123456789abcdef";
  std::string hex;
  hex.reserve(2 * size);
  for (unsigned int i = 0; i < size; ++i) {
    hex += kHex[digest[i] >> 4];
    hex += kHex[digest[i] & 0xF];
  }
  context_->Start();
  return hex;
}

std::string Sha256Hex(std::string_view bytes) {
  Sha256 hash;
  hash.Update(bytes.data(), bytes.size());
  return hash.HexDigest();
}

}  // namespace nrw
