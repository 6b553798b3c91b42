#include "updates/ed25519.h"

#include <memory>
#include <openssl/evp.h>

bool verifyEd25519(QByteArrayView message, const QByteArray& signature,
                   const QByteArray& publicKey) {
    if (publicKey.size() != 32 || signature.size() != 64)
        return false;
    const std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)> key(
        EVP_PKEY_new_raw_public_key(EVP_PKEY_ED25519, nullptr,
                                    reinterpret_cast<const unsigned char*>(publicKey.constData()),
                                    std::size_t(publicKey.size())),
        &EVP_PKEY_free);
    if (!key)
        return false;
    const std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> context(EVP_MD_CTX_new(),
                                                                          &EVP_MD_CTX_free);
    if (!context || EVP_DigestVerifyInit(context.get(), nullptr, nullptr, nullptr, key.get()) != 1)
        return false;
    // Ed25519 signs the message itself, in one pass.
    return EVP_DigestVerify(context.get(),
                            reinterpret_cast<const unsigned char*>(signature.constData()),
                            std::size_t(signature.size()),
                            reinterpret_cast<const unsigned char*>(message.constData()),
                            std::size_t(message.size())) == 1;
}
