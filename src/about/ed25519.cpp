#include "about/ed25519.h"

#include "platform/log.h"

#include <QLibrary>

// Types and constants only: the functions are looked up in libcrypto when a signature is first
// checked, so that the program does not load OpenSSL at start for a check it rarely makes.
#include <memory>
#include <openssl/evp.h>

namespace {

struct Crypto {
    decltype(&EVP_PKEY_new_raw_public_key) newRawPublicKey = nullptr;
    decltype(&EVP_PKEY_free) freeKey = nullptr;
    decltype(&EVP_MD_CTX_new) newContext = nullptr;
    decltype(&EVP_MD_CTX_free) freeContext = nullptr;
    decltype(&EVP_DigestVerifyInit) verifyInit = nullptr;
    decltype(&EVP_DigestVerify) verify = nullptr;

    bool complete() const {
        return newRawPublicKey && freeKey && newContext && freeContext && verifyInit && verify;
    }
};

template <typename F>
void resolve(QLibrary& library, F& function, const char* name) {
    function = reinterpret_cast<F>(library.resolve(name));
}

const Crypto& crypto() {
    static const Crypto loaded = [] {
        Crypto c;
        QLibrary library(QStringLiteral("crypto"), 3);
        if (!library.load()) {
            qCWarning(lcPurrtick, "libcrypto를 불러올 수 없음: %s",
                      qPrintable(library.errorString()));
            return c;
        }
        resolve(library, c.newRawPublicKey, "EVP_PKEY_new_raw_public_key");
        resolve(library, c.freeKey, "EVP_PKEY_free");
        resolve(library, c.newContext, "EVP_MD_CTX_new");
        resolve(library, c.freeContext, "EVP_MD_CTX_free");
        resolve(library, c.verifyInit, "EVP_DigestVerifyInit");
        resolve(library, c.verify, "EVP_DigestVerify");
        return c;
    }();
    return loaded;
}

} // namespace

bool verifyEd25519(QByteArrayView message, const QByteArray& signature,
                   const QByteArray& publicKey) {
    if (publicKey.size() != 32 || signature.size() != 64)
        return false;
    const Crypto& c = crypto();
    if (!c.complete())
        return false;
    const std::unique_ptr<EVP_PKEY, decltype(c.freeKey)> key(
        c.newRawPublicKey(EVP_PKEY_ED25519, nullptr,
                          reinterpret_cast<const unsigned char*>(publicKey.constData()),
                          std::size_t(publicKey.size())),
        c.freeKey);
    if (!key)
        return false;
    const std::unique_ptr<EVP_MD_CTX, decltype(c.freeContext)> context(c.newContext(),
                                                                       c.freeContext);
    if (!context || c.verifyInit(context.get(), nullptr, nullptr, nullptr, key.get()) != 1)
        return false;
    // Ed25519 signs the message itself, in one pass.
    return c.verify(context.get(), reinterpret_cast<const unsigned char*>(signature.constData()),
                    std::size_t(signature.size()),
                    reinterpret_cast<const unsigned char*>(message.constData()),
                    std::size_t(message.size())) == 1;
}
