#pragma once
// The OpenSSL context one side of the station link makes its TLS connections
// from: TLS 1.3 only, the one cipher suite TLS_AES_128_GCM_SHA256, no
// certificates, and the cafe's key as the only pre-shared key, always combined
// with an (EC)DHE exchange so that a key read off a station later does not
// open recorded traffic. No session tickets: after the handshake only the
// channel's own records travel.
//
// A context never changes once made and may serve connections on several
// threads at once. forKey() is safe from any thread; it hands out one shared
// context per role and key for as long as some connection holds it.

#include "link/cafe_key.h"

#include <openssl/ssl.h>

#include <memory>

namespace stationlink {

struct SslFree {
    void operator()(SSL* ssl) const { SSL_free(ssl); }
    void operator()(SSL_CTX* ctx) const { SSL_CTX_free(ctx); }
    void operator()(SSL_SESSION* session) const { SSL_SESSION_free(session); }
};

class TlsContext {
    // Only forKey() can name it, so every context is a shared one.
    struct OnlyForKey {
        explicit OnlyForKey() = default;
    };

public:
    enum class Role { Server, Client };

    // Null when OpenSSL cannot make the context.
    static std::shared_ptr<TlsContext> forKey(Role role, const CafeKey& key);

    TlsContext(Role role, const CafeKey::Psk& psk, OnlyForKey) : role_(role), psk_(psk) {}
    TlsContext(const TlsContext&) = delete;
    TlsContext& operator=(const TlsContext&) = delete;

    // A new connection of this context's role (not yet tied to a socket); null on failure.
    std::unique_ptr<SSL, SslFree> newConnection() const;

private:
    [[nodiscard]] bool build();

    static int useSession(SSL* ssl, const EVP_MD* md, const unsigned char** identity, std::size_t* identityLength,
                          SSL_SESSION** session);
    static int findSession(SSL* ssl, const unsigned char* identity, std::size_t identityLength, SSL_SESSION** session);
    static const TlsContext* of(SSL* ssl);
    // A new reference to the pre-shared key's session, for OpenSSL to own.
    SSL_SESSION* sessionReference() const;

    Role role_;
    CafeKey::Psk psk_;
    std::unique_ptr<SSL_CTX, SslFree> ctx_;
    std::unique_ptr<SSL_SESSION, SslFree> session_;
};

} // namespace stationlink
