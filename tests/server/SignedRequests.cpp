#include "SignedRequests.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>

#include "OwnerSignature.h"

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

RawRequest Signed(const std::string& url, const FormFields& fields, const std::string& keyHex,
                  qint64 time) {
    const MultipartForm form = BuildForm(fields, QDateTime::currentDateTime());
    return {url,
            form.contentType,
            form.body,
            {{"X-Quillspot-Signature", OwnerSignature(keyHex, time, RandomHex(16), form.body)}}};
}
