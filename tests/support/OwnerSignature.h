#pragma once

#include <QByteArray>
#include <QCryptographicHash>
#include <QMessageAuthenticationCode>
#include <QRandomGenerator>
#include <string>

// The owner's signature of a post to the actions script, as the header
// "X-Quillspot-Signature" carries it: "t=T,n=N,v1=S", S the HMAC-SHA256 keyed with the key's
// bytes (given as hex) of "qlsp-v1" LF T LF N LF and the body.
inline QByteArray OwnerSignature(const std::string& keyHex, qint64 time, const QByteArray& nonce,
                                 const std::string& body) {
    const QByteArray signedBytes = "qlsp-v1\n" + QByteArray::number(time) + "\n" + nonce + "\n" +
                                   QByteArray::fromStdString(body);
    const QByteArray mac =
        QMessageAuthenticationCode::hash(signedBytes, QByteArray::fromHex(keyHex.c_str()),
                                         QCryptographicHash::Sha256)
            .toHex();
    return "t=" + QByteArray::number(time) + ",n=" + nonce + ",v1=" + mac;
}

// `bytes` random bytes as lowercase hex: a nonce, or a key.
inline QByteArray RandomHex(int bytes) {
    QByteArray random(bytes, '\0');
    for (char& byte : random) byte = static_cast<char>(QRandomGenerator::system()->bounded(256));
    return random.toHex();
}
