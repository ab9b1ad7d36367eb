#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <memory>

namespace q47 {

// A mosquitto broker of the test's own on 127.0.0.1, at ports that were free, with a
// configuration made afresh: one listener open to anyone, one that asks for kUser and
// kPassword, and one open to anyone over TLS with a certificate for 127.0.0.1 from an authority
// of the test's own (caFile()). It keeps no state on disk, so that a restart forgets the retained
// messages, and it ends with the test program, however that ends.
class TestBroker {
public:
    static constexpr const char *kUser = "board";
    static constexpr const char *kPassword = "test-password";

    // Started; error() says why not.
    TestBroker();
    ~TestBroker();
    TestBroker(const TestBroker &) = delete;
    TestBroker &operator=(const TestBroker &) = delete;

    // Again at the same ports, once stopped; true once both listeners take connections.
    bool start();
    void stop();
    bool isRunning() const;
    const QString &error() const { return error_; }

    quint16 openPort() const { return openPort_; }
    quint16 passwordPort() const { return passwordPort_; }
    quint16 tlsPort() const { return tlsPort_; }
    QString caFile() const;

private:
    bool writeConfiguration();
    bool makeCertificates();

    QTemporaryDir folder_;
    quint16 openPort_ = 0;
    quint16 passwordPort_ = 0;
    quint16 tlsPort_ = 0;
    std::unique_ptr<QProcess> process_;
    QString error_;
};

} // namespace q47
