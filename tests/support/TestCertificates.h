#pragma once

#include <QTemporaryDir>
#include <string>

// A key and its certificate, as PEM files.
struct CertificateFiles {
    std::string certificate;
    std::string key;
};

// A certificate authority of the test's own, made with the openssl command in a temporary
// folder that lives as long as the object, and the site certificates a test serves: one it
// signed for 127.0.0.1 and localhost, one it signed for another host only, and one for
// 127.0.0.1 and localhost that signed itself. Throws when openssl fails.
class TestCertificates {
  public:
    TestCertificates();
    TestCertificates(const TestCertificates&) = delete;
    TestCertificates& operator=(const TestCertificates&) = delete;

    // The authority's certificate, as SSL_CERT_FILE names a store.
    const std::string& AuthorityFile() const { return authorityFile_; }
    // A folder holding it under its hash name, as SSL_CERT_DIR names a store.
    const std::string& AuthorityFolder() const { return authorityFolder_; }

    const CertificateFiles& Site() const { return site_; }
    const CertificateFiles& OtherHost() const { return otherHost_; }
    const CertificateFiles& SelfSigned() const { return selfSigned_; }

  private:
    std::string Path(const char* name) const;
    CertificateFiles Make(const char* name, const char* extensions, bool signedByAuthority) const;

    QTemporaryDir dir_;
    std::string authorityFile_;
    std::string authorityFolder_;
    CertificateFiles site_;
    CertificateFiles otherHost_;
    CertificateFiles selfSigned_;
};
