#pragma once

#include <QByteArray>
#include <QByteArrayView>

// Whether `signature` (64 bytes) is a valid Ed25519 signature of `message` by the holder of
// `publicKey` (32 bytes), checked with OpenSSL's libcrypto. The message may be a mapped file.
bool verifyEd25519(QByteArrayView message, const QByteArray& signature,
                   const QByteArray& publicKey);
