#pragma once

#include <cstddef>
#include <exception>
#include <memory>
#include <string>

struct evp_md_ctx_st;

// A SHA-256 digest computed as data passes by (OpenSSL's libcrypto, which uses the processor's
// SHA instructions where it has them).
class Sha256 {
public:
    // Thrown when the library cannot start or go on with a digest (out of memory).
    class Failure : public std::exception {
    public:
        const char* what() const noexcept override { return "SHA-256"; }
    };

    Sha256();
    Sha256(Sha256&& other) noexcept;
    Sha256& operator=(Sha256&& other) noexcept;
    ~Sha256();

    void add(const void* data, std::size_t size);
    // The 64 lowercase hexadecimal digits of everything added since the last call, which starts
    // the next digest.
    std::string finish();

private:
    struct ContextDeleter {
        void operator()(evp_md_ctx_st* context) const;
    };

    void start();

    std::unique_ptr<evp_md_ctx_st, ContextDeleter> m_context;
};
