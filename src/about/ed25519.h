#pragma once

#include <QByteArray>

// Whether `signature` (64 bytes) is a valid Ed25519 signature of `message` by the holder of
// `publicKey` (32 bytes), checked with OpenSSL's libcrypto.
bool verifyEd25519(const QByteArray& message, const QByteArray& signature,
                   const QByteArray& publicKey);
