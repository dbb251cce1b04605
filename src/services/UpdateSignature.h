#pragma once

#include <QByteArray>

enum class SignatureCheck
{
    Valid,
    Invalid,    // the signature does not match the data, or is not a signature at all
    NoKey,      // the program carries no usable public key
    Unavailable // the crypto library could not start
};

// Checks a Base64 Ed25519 signature of data against a Base64 public key (32 bytes).
SignatureCheck verifyUpdateSignature(const QByteArray &data, const QByteArray &signatureBase64,
                                     const QByteArray &publicKeyBase64);
