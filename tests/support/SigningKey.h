#pragma once

#include <QByteArray>
#include <sodium.h>

// An Ed25519 key pair made from a fixed seed, so signed fixtures are the same on every run.
class SigningKey
{
public:
    explicit SigningKey(unsigned char seedByte = 7);

    QByteArray publicBase64() const;
    // The Base64 detached signature of data, as an update feed carries it.
    QByteArray sign(const QByteArray &data) const;

private:
    unsigned char m_public[crypto_sign_PUBLICKEYBYTES];
    unsigned char m_secret[crypto_sign_SECRETKEYBYTES];
};
