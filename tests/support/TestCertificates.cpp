#include "TestCertificates.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <stdexcept>

namespace {

// Every section the certificates use, so that nothing depends on the machine's openssl.cnf.
constexpr const char* kConfig = R"([req]
distinguished_name = name
prompt = no
[name]
CN = unused
[authority]
basicConstraints = critical, CA:TRUE
keyUsage = critical, keyCertSign, cRLSign
subjectKeyIdentifier = hash
[site]
basicConstraints = critical, CA:FALSE
keyUsage = critical, digitalSignature
extendedKeyUsage = serverAuth
subjectKeyIdentifier = hash
subjectAltName = IP:127.0.0.1, DNS:localhost
[other]
basicConstraints = critical, CA:FALSE
keyUsage = critical, digitalSignature
extendedKeyUsage = serverAuth
subjectKeyIdentifier = hash
subjectAltName = DNS:other.example
)";

void Openssl(const QStringList& arguments) {
    QProcess openssl;
    openssl.setProcessChannelMode(QProcess::MergedChannels);
    openssl.start("openssl", arguments);
    if (!openssl.waitForFinished(30000) || openssl.exitStatus() != QProcess::NormalExit ||
        openssl.exitCode() != 0)
        throw std::runtime_error("openssl " + arguments.join(' ').toStdString() +
                                 " failed: " + openssl.errorString().toStdString() + " " +
                                 openssl.readAll().toStdString());
}

QString Q(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

TestCertificates::TestCertificates() {
    if (!dir_.isValid()) throw std::runtime_error("no temporary folder for the certificates");
    QFile config(Q(Path("openssl.cnf")));
    if (!config.open(QIODevice::WriteOnly) || config.write(kConfig) < 0)
        throw std::runtime_error("cannot write " + Path("openssl.cnf"));
    config.close();

    const CertificateFiles authority = Make("authority", "authority", false);
    authorityFile_ = authority.certificate;
    site_ = Make("site", "site", true);
    otherHost_ = Make("other", "other", true);
    selfSigned_ = Make("self", "site", false);

    authorityFolder_ = Path("store");
    if (!QDir().mkpath(Q(authorityFolder_)) ||
        !QFile::copy(Q(authorityFile_), Q(authorityFolder_ + "/authority.pem")))
        throw std::runtime_error("cannot fill " + authorityFolder_);
    Openssl({"rehash", Q(authorityFolder_)});
}

std::string TestCertificates::Path(const char* name) const {
    return dir_.filePath(name).toStdString();
}

// P-256 keys: a test makes four of them, and RSA keys take far longer to make.
CertificateFiles TestCertificates::Make(const char* name, const char* extensions,
                                        bool signedByAuthority) const {
    const std::string base = Path(name);
    CertificateFiles files{base + ".pem", base + ".key"};
    QStringList arguments = {"req",
                             "-x509",
                             "-config",
                             Q(Path("openssl.cnf")),
                             "-extensions",
                             extensions,
                             "-newkey",
                             "ec",
                             "-pkeyopt",
                             "ec_paramgen_curve:prime256v1",
                             "-noenc",
                             "-days",
                             "2",
                             "-subj",
                             QString("/CN=Quillspot test %1").arg(name),
                             "-keyout",
                             Q(files.key),
                             "-out",
                             Q(files.certificate)};
    if (signedByAuthority)
        arguments += {"-CA", Q(authorityFile_), "-CAkey", Q(Path("authority.key"))};
    Openssl(arguments);
    return files;
}
