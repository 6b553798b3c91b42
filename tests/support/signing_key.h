#pragma once

#include <QByteArray>

#include <openssl/evp.h>

// An Ed25519 signing key made for a test, as the release tooling would hold one.
struct SigningKey {
    SigningKey() {
        EVP_PKEY_CTX* context = EVP_PKEY_CTX_new_id(EVP_PKEY_ED25519, nullptr);
        EVP_PKEY_keygen_init(context);
        EVP_PKEY_keygen(context, &key);
        EVP_PKEY_CTX_free(context);
    }
    ~SigningKey() { EVP_PKEY_free(key); }
    SigningKey(const SigningKey&) = delete;
    SigningKey& operator=(const SigningKey&) = delete;

    QByteArray publicKey() const {
        QByteArray raw(32, 0);
        std::size_t size = 32;
        EVP_PKEY_get_raw_public_key(key, reinterpret_cast<unsigned char*>(raw.data()), &size);
        return raw;
    }
    QByteArray sign(const QByteArray& message) const {
        QByteArray signature(64, 0);
        std::size_t size = 64;
        EVP_MD_CTX* context = EVP_MD_CTX_new();
        EVP_DigestSignInit(context, nullptr, nullptr, nullptr, key);
        EVP_DigestSign(context, reinterpret_cast<unsigned char*>(signature.data()), &size,
                       reinterpret_cast<const unsigned char*>(message.constData()),
                       std::size_t(message.size()));
        EVP_MD_CTX_free(context);
        return signature;
    }

    EVP_PKEY* key = nullptr;
};
