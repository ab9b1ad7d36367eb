#include "testbroker.h"

#include <QElapsedTimer>
#include <QFile>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace q47 {

namespace {

sockaddr_in loopback(quint16 port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    return address;
}

// A port nobody listens on now, as the system hands one out.
quint16 freePort() {
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = loopback(0);
    socklen_t size = sizeof address;
    quint16 port = 0;
    if (bind(s, reinterpret_cast<sockaddr *>(&address), size) == 0 &&
        getsockname(s, reinterpret_cast<sockaddr *>(&address), &size) == 0)
        port = ntohs(address.sin_port);
    close(s);
    return port;
}

bool listening(quint16 port) {
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    const sockaddr_in address = loopback(port);
    const bool taken =
        ::connect(s, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0;
    close(s);
    return taken;
}

} // namespace

TestBroker::TestBroker() {
    if (!folder_.isValid()) {
        error_ = QStringLiteral("no temporary folder");
        return;
    }
    const QString passwords = folder_.filePath(QStringLiteral("passwords"));
    if (QProcess::execute(QStringLiteral(Q47_MOSQUITTO_PASSWD),
                          {QStringLiteral("-b"), QStringLiteral("-c"), passwords,
                           QString::fromLatin1(kUser), QString::fromLatin1(kPassword)}) != 0) {
        error_ = QStringLiteral("mosquitto_passwd failed");
        return;
    }
    if (!makeCertificates()) {
        error_ = QStringLiteral("openssl failed");
        return;
    }
    // A port taken between its choice and the broker's start is chosen again.
    for (int attempt = 0; attempt < 3; ++attempt) {
        openPort_ = freePort();
        passwordPort_ = freePort();
        tlsPort_ = freePort();
        if (openPort_ && passwordPort_ && tlsPort_ && openPort_ != passwordPort_ &&
            tlsPort_ != openPort_ && tlsPort_ != passwordPort_ && writeConfiguration() && start())
            return;
    }
}

TestBroker::~TestBroker() {
    stop();
}

QString TestBroker::caFile() const {
    return folder_.filePath(QStringLiteral("ca.pem"));
}

bool TestBroker::makeCertificates() {
    const auto in = [this](const char *name) { return folder_.filePath(QLatin1StringView(name)); };
    QFile extensions(in("server.ext"));
    if (!extensions.open(QIODevice::WriteOnly) ||
        extensions.write("subjectAltName=IP:127.0.0.1\n") < 0)
        return false;
    extensions.close();
    const QStringList newKey{
        QStringLiteral("-newkey"), QStringLiteral("ec"), QStringLiteral("-pkeyopt"),
        QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes")};
    const QList<QStringList> steps{
        QStringList{QStringLiteral("req"), QStringLiteral("-x509")} + newKey +
            QStringList{QStringLiteral("-keyout"), in("ca.key"), QStringLiteral("-out"),
                        in("ca.pem"), QStringLiteral("-days"), QStringLiteral("2"),
                        QStringLiteral("-subj"), QStringLiteral("/CN=q47 test authority")},
        QStringList{QStringLiteral("req")} + newKey +
            QStringList{QStringLiteral("-keyout"), in("server.key"), QStringLiteral("-out"),
                        in("server.csr"), QStringLiteral("-subj"), QStringLiteral("/CN=127.0.0.1")},
        QStringList{QStringLiteral("x509"), QStringLiteral("-req"), QStringLiteral("-in"),
                    in("server.csr"), QStringLiteral("-CA"), in("ca.pem"), QStringLiteral("-CAkey"),
                    in("ca.key"), QStringLiteral("-CAcreateserial"), QStringLiteral("-out"),
                    in("server.pem"), QStringLiteral("-days"), QStringLiteral("2"),
                    QStringLiteral("-extfile"), in("server.ext")},
    };
    for (const QStringList &step : steps) {
        QProcess openssl;
        openssl.setProcessChannelMode(QProcess::MergedChannels);
        openssl.start(QStringLiteral(Q47_OPENSSL), step);
        if (!openssl.waitForFinished(30000) || openssl.exitCode() != 0)
            return false;
    }
    return true;
}

bool TestBroker::writeConfiguration() {
    QFile file(folder_.filePath(QStringLiteral("mosquitto.conf")));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QByteArray text = "per_listener_settings true\n"
                      "persistence false\n"
                      "log_dest stderr\n"
                      "log_type error\n";
    // Run by root, the broker would turn itself into a user that cannot read this folder.
    if (geteuid() == 0)
        text += "user root\n";
    text += "listener " + QByteArray::number(openPort_) +
            " 127.0.0.1\n"
            "allow_anonymous true\n"
            "listener " +
            QByteArray::number(passwordPort_) +
            " 127.0.0.1\n"
            "allow_anonymous false\n"
            "password_file " +
            QFile::encodeName(folder_.filePath(QStringLiteral("passwords"))) +
            "\n"
            "listener " +
            QByteArray::number(tlsPort_) +
            " 127.0.0.1\n"
            "allow_anonymous true\n"
            "certfile " +
            QFile::encodeName(folder_.filePath(QStringLiteral("server.pem"))) +
            "\n"
            "keyfile " +
            QFile::encodeName(folder_.filePath(QStringLiteral("server.key"))) + "\n";
    return file.write(text) == text.size();
}

bool TestBroker::start() {
    stop();
    process_ = std::make_unique<QProcess>();
    process_->setProcessChannelMode(QProcess::MergedChannels);
    // The broker ends with the test, even one that crashes.
    process_->setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGKILL); });
    process_->start(QStringLiteral(Q47_MOSQUITTO_BROKER),
                    {QStringLiteral("-c"), folder_.filePath(QStringLiteral("mosquitto.conf"))});
    if (!process_->waitForStarted(5000)) {
        error_ = QStringLiteral("mosquitto did not start: ") + process_->errorString();
        return false;
    }
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 10000) {
        // Waiting for its end is what notices it.
        if (process_->waitForFinished(10)) {
            error_ =
                QStringLiteral("mosquitto ended: ") + QString::fromLocal8Bit(process_->readAll());
            return false;
        }
        if (listening(openPort_) && listening(passwordPort_) && listening(tlsPort_)) {
            error_.clear();
            return true;
        }
    }
    error_ = QStringLiteral("mosquitto took no connections");
    return false;
}

void TestBroker::stop() {
    if (!process_)
        return;
    if (process_->state() != QProcess::NotRunning) {
        process_->terminate();
        if (!process_->waitForFinished(5000)) {
            process_->kill();
            process_->waitForFinished(5000);
        }
    }
    process_.reset();
}

bool TestBroker::isRunning() const {
    return process_ && process_->state() == QProcess::Running;
}

} // namespace q47
