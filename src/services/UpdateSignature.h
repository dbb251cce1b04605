#pragma once

#include <QByteArray>

enum class SignatureCheck
{
    Valid,
    Invalid,    // the signature does not match the data, or is not a signature at all
    NoKey,      // the program carries no usable public key
    Unavailable // the crypto library could not start
};

// Checks a Base64 Ed25519 signature of data against a Base64 public key (the raw 32 bytes).
// Releases are signed over the whole file with plain Ed25519, for example
//   openssl pkeyutl -sign -rawin -inkey release-key.pem -in grumblix.deb | base64 -w0
// and the key for GRUMBLIX_UPDATE_PUBLIC_KEY is
//   openssl pkey -in release-key.pem -pubout -outform DER | tail -c 32 | base64
SignatureCheck verifyUpdateSignature(const QByteArray &data, const QByteArray &signatureBase64,
                                     const QByteArray &publicKeyBase64);
