#include "platform/Sha256.h"

#include <openssl/evp.h>

void Sha256::ContextDeleter::operator()(evp_md_ctx_st* context) const {
    EVP_MD_CTX_free(context);
}

Sha256::Sha256() : m_context(EVP_MD_CTX_new()) {
    if (!m_context)
        throw Failure();
    start();
}

Sha256::Sha256(Sha256&& other) noexcept = default;
Sha256& Sha256::operator=(Sha256&& other) noexcept = default;
Sha256::~Sha256() = default;

void Sha256::start() {
    if (EVP_DigestInit_ex(m_context.get(), EVP_sha256(), nullptr) != 1)
        throw Failure();
}

void Sha256::add(const void* data, std::size_t size) {
    if (EVP_DigestUpdate(m_context.get(), data, size) != 1)
        throw Failure();
}

std::string Sha256::finish() {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_DigestFinal_ex(m_context.get(), digest, &length) != 1)
        throw Failure();
    start();
    static const char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (unsigned int index = 0; index < length; ++index) {
        hex += kDigits[digest[index] >> 4];
        hex += kDigits[digest[index] & 0xf];
    }
    return hex;
}
