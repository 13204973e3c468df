#include "tls_context.h"

#include <openssl/err.h>
#include <openssl/evp.h>

#include <cstring>
#include <mutex>
#include <string_view>

namespace stationlink {

namespace {

constexpr const char* kCipherSuite = "TLS_AES_128_GCM_SHA256";
// Every station presents the same identity: there is only the one key.
constexpr std::string_view kIdentity = "cafe";

const SSL_CIPHER* findCipher(SSL_CTX* ctx)
{
    STACK_OF(SSL_CIPHER)* ciphers = SSL_CTX_get_ciphers(ctx);
    for (int i = 0; i < sk_SSL_CIPHER_num(ciphers); ++i) {
        const SSL_CIPHER* cipher = sk_SSL_CIPHER_value(ciphers, i);
        if (std::strcmp(SSL_CIPHER_get_name(cipher), kCipherSuite) == 0)
            return cipher;
    }
    return nullptr;
}

} // namespace

std::shared_ptr<TlsContext> TlsContext::forKey(Role role, const CafeKey& key)
{
    // Weak references: a context lives only as long as its connections, and
    // nothing of OpenSSL's is left to free after the program's end.
    static std::mutex lock;
    static std::weak_ptr<TlsContext> kept[2];
    std::lock_guard guard(lock);
    std::weak_ptr<TlsContext>& slot = kept[role == Role::Server ? 0 : 1];
    if (auto shared = slot.lock(); shared && shared->psk_ == key.psk())
        return shared;
    auto context = std::make_shared<TlsContext>(role, key.psk(), OnlyForKey{});
    if (!context->build()) {
        ERR_clear_error();
        return nullptr;
    }
    slot = context;
    return context;
}

bool TlsContext::build()
{
    ctx_.reset(SSL_CTX_new(role_ == Role::Server ? TLS_server_method() : TLS_client_method()));
    if (!ctx_)
        return false;
    SSL_CTX* ctx = ctx_.get();
    // An unannounced TCP close reads as an orderly end, as on a plain
    // connection: every message is a record of its own, so none can be cut short.
    SSL_CTX_set_options(ctx, SSL_OP_NO_TICKET | SSL_OP_IGNORE_UNEXPECTED_EOF);
    SSL_CTX_set_session_cache_mode(ctx, SSL_SESS_CACHE_OFF);
    if (SSL_CTX_set_min_proto_version(ctx, TLS1_3_VERSION) != 1 ||
        SSL_CTX_set_max_proto_version(ctx, TLS1_3_VERSION) != 1 || SSL_CTX_set_num_tickets(ctx, 0) != 1 ||
        SSL_CTX_set_ciphersuites(ctx, kCipherSuite) != 1)
        return false;
    if (role_ == Role::Server)
        SSL_CTX_set_psk_find_session_callback(ctx, findSession);
    else
        SSL_CTX_set_psk_use_session_callback(ctx, useSession);
    SSL_CTX_set_app_data(ctx, this);

    const SSL_CIPHER* cipher = findCipher(ctx);
    session_.reset(SSL_SESSION_new());
    return cipher && session_ && SSL_SESSION_set1_master_key(session_.get(), psk_.data(), psk_.size()) == 1 &&
           SSL_SESSION_set_cipher(session_.get(), cipher) == 1 &&
           SSL_SESSION_set_protocol_version(session_.get(), TLS1_3_VERSION) == 1;
}

std::unique_ptr<SSL, SslFree> TlsContext::newConnection() const
{
    return std::unique_ptr<SSL, SslFree>(SSL_new(ctx_.get()));
}

const TlsContext* TlsContext::of(SSL* ssl)
{
    return static_cast<const TlsContext*>(SSL_CTX_get_app_data(SSL_get_SSL_CTX(ssl)));
}

SSL_SESSION* TlsContext::sessionReference() const
{
    return SSL_SESSION_up_ref(session_.get()) == 1 ? session_.get() : nullptr;
}

int TlsContext::useSession(SSL* ssl, const EVP_MD* md, const unsigned char** identity, std::size_t* identityLength,
                           SSL_SESSION** session)
{
    *session = nullptr;
    const TlsContext* self = of(ssl);
    if (!self)
        return 0;
    // After a HelloRetryRequest OpenSSL asks again with the suite's hash; the
    // one suite there is uses SHA-256, so anything else offers no key.
    if (md && !EVP_MD_is_a(md, "SHA256"))
        return 1;
    *session = self->sessionReference();
    *identity = reinterpret_cast<const unsigned char*>(kIdentity.data());
    *identityLength = kIdentity.size();
    return *session ? 1 : 0;
}

int TlsContext::findSession(SSL* ssl, const unsigned char* identity, std::size_t identityLength, SSL_SESSION** session)
{
    *session = nullptr;
    const TlsContext* self = of(ssl);
    if (!self)
        return 0;
    // An unknown identity is no key at all; with no certificate to fall back
    // on, the handshake then fails.
    if (std::string_view(reinterpret_cast<const char*>(identity), identityLength) != kIdentity)
        return 1;
    *session = self->sessionReference();
    return *session ? 1 : 0;
}

} // namespace stationlink
