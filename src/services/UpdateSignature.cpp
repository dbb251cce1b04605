#include "UpdateSignature.h"

#include <sodium.h>

namespace {

// Strict Base64: anything that does not decode cleanly is rejected rather than half-read.
bool decode(const QByteArray &text, QByteArray &out, qsizetype expectedSize)
{
    const auto result = QByteArray::fromBase64Encoding(
        text.trimmed(), QByteArray::Base64Encoding | QByteArray::AbortOnBase64DecodingErrors);
    if (!result || result.decoded.size() != expectedSize)
        return false;
    out = result.decoded;
    return true;
}

} // namespace

SignatureCheck verifyUpdateSignature(const QByteArray &data, const QByteArray &signatureBase64,
                                     const QByteArray &publicKeyBase64)
{
    if (sodium_init() < 0)
        return SignatureCheck::Unavailable;
    QByteArray key;
    if (!decode(publicKeyBase64, key, crypto_sign_PUBLICKEYBYTES))
        return SignatureCheck::NoKey;
    QByteArray signature;
    if (!decode(signatureBase64, signature, crypto_sign_BYTES))
        return SignatureCheck::Invalid;
    const int rc = crypto_sign_verify_detached(reinterpret_cast<const unsigned char *>(signature.constData()),
                                               reinterpret_cast<const unsigned char *>(data.constData()),
                                               static_cast<unsigned long long>(data.size()),
                                               reinterpret_cast<const unsigned char *>(key.constData()));
    return rc == 0 ? SignatureCheck::Valid : SignatureCheck::Invalid;
}
