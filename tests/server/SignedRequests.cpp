#include "SignedRequests.h"

#include <QCryptographicHash>
#include <QEventLoop>
#include <QMessageAuthenticationCode>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QRandomGenerator>

Answer Send(const RawRequest& request) {
    QNetworkAccessManager network;
    QNetworkRequest sent(QUrl(QString::fromStdString(request.url)));
    sent.setTransferTimeout(60000);
    for (const auto& [name, value] : request.headers) sent.setRawHeader(name, value);
    QNetworkReply* reply = nullptr;
    if (request.body.empty()) {
        reply = network.get(sent);
    } else {
        sent.setHeader(QNetworkRequest::ContentTypeHeader,
                       QByteArray::fromStdString(request.contentType));
        reply = network.post(sent, QByteArray::fromStdString(request.body));
    }
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    loop.exec();
    Answer answer{reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(),
                  reply->readAll().toStdString(), reply->rawHeader("Date"),
                  reply->hasRawHeader("X-Powered-By")};
    delete reply;
    return answer;
}

QByteArray Signature(const std::string& keyHex, qint64 time, const QByteArray& nonce,
                     const std::string& body) {
    const QByteArray signedBytes = "qlsp-v1\n" + QByteArray::number(time) + "\n" + nonce + "\n" +
                                   QByteArray::fromStdString(body);
    const QByteArray mac =
        QMessageAuthenticationCode::hash(signedBytes, QByteArray::fromHex(keyHex.c_str()),
                                         QCryptographicHash::Sha256)
            .toHex();
    return "t=" + QByteArray::number(time) + ",n=" + nonce + ",v1=" + mac;
}

RawRequest Signed(const std::string& url, const FormFields& fields, const std::string& keyHex,
                  qint64 time) {
    QByteArray nonce(16, '\0');
    QRandomGenerator::global()->fillRange(reinterpret_cast<quint32*>(nonce.data()), 4);
    const MultipartForm form = BuildForm(fields, QDateTime::currentDateTime());
    return {url,
            form.contentType,
            form.body,
            {{"X-Quillspot-Signature", Signature(keyHex, time, nonce.toHex(), form.body)}}};
}
