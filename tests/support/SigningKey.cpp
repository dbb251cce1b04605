#include "SigningKey.h"

#include <QtGlobal>
#include <algorithm>

SigningKey::SigningKey(unsigned char seedByte)
{
    if (sodium_init() < 0)
        qFatal("libsodium did not start");
    unsigned char seed[crypto_sign_SEEDBYTES];
    std::fill(std::begin(seed), std::end(seed), seedByte);
    crypto_sign_seed_keypair(m_public, m_secret, seed);
}

QByteArray SigningKey::publicBase64() const
{
    return QByteArray(reinterpret_cast<const char *>(m_public), sizeof m_public).toBase64();
}

QByteArray SigningKey::sign(const QByteArray &data) const
{
    unsigned char signature[crypto_sign_BYTES];
    crypto_sign_detached(signature, nullptr, reinterpret_cast<const unsigned char *>(data.constData()),
                         static_cast<unsigned long long>(data.size()), m_secret);
    return QByteArray(reinterpret_cast<const char *>(signature), sizeof signature).toBase64();
}
