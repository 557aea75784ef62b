#include "SignedRequests.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>

#include "OwnerSignature.h"
#include "SiteSettings.h"

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

std::string SettingsScript(const SiteSettings& database, const std::string& hostname,
                           const std::string& key, const std::string& after) {
    std::string script = "<?php\r\n";
    for (const auto& [name, value] : {std::pair{"hostname", hostname},
                                      {"database", database.dbdatabase},
                                      {"username", database.dbusername},
                                      {"password", database.dbpassword},
                                      {"adswidth", std::string("320px")},
                                      {"ownerkey", key}})
        if (name != std::string("ownerkey") || !key.empty())
            script += std::string("  $") + name + "=\"" + value + "\";\r\n";
    return script + "?>\r\n" + after;
}
