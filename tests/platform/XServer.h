#pragma once
// An X server of a test's own (Xvfb), for the slow tests that need a second
// process or the system's drag loop, and peers: this test program started
// again on it to run one test.
#include <QProcess>
#include <QStandardPaths>

#include <filesystem>
#include <fstream>

class TXServer {
public:
    TXServer()
    {
        const QString xvfb = QStandardPaths::findExecutable("Xvfb");
        if (xvfb.isEmpty())
            return;
        FServer.start(xvfb, {"-displayfd", "1", "-nolisten", "tcp", "-screen", "0", "800x600x24"});
        if (!FServer.waitForStarted(10000))
            return;
        QByteArray display;
        while (!display.contains('\n') && FServer.waitForReadyRead(20000))
            display += FServer.readAllStandardOutput();
        if (!display.trimmed().isEmpty())
            FDisplay = ":" + QString::fromLatin1(display.trimmed());
    }
    ~TXServer()
    {
        FServer.terminate();
        FServer.waitForFinished(10000);
    }
    TXServer(const TXServer&) = delete;
    TXServer& operator=(const TXServer&) = delete;

    bool Running() const { return !FDisplay.isEmpty(); }
    // The server's display name, ":N".
    const QString& Display() const { return FDisplay; }

    // Starts the test Test of this program on the server, with Extra added
    // to the environment.
    void StartPeer(QProcess& Peer, const QString& Test, const QProcessEnvironment& Extra) const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DISPLAY", FDisplay);
        env.insert("QT_QPA_PLATFORM", "xcb");
        // The toolkit's X11 side keeps a buffer of the system's message bus
        // to the end; the leak checker of the sanitizer build is told so.
        env.insert("LSAN_OPTIONS", "suppressions=" + QString::fromStdString(SystemLeaks()));
        env.insert(Extra);
        Peer.setProcessEnvironment(env);
        Peer.setProcessChannelMode(QProcess::MergedChannels);
        Peer.start(QString::fromStdString(std::filesystem::read_symlink("/proc/self/exe").string()),
                   {"--gtest_filter=" + Test});
    }

private:
    static std::string SystemLeaks()
    {
        const auto path = std::filesystem::temp_directory_path() / "vek-peer-leaks.supp";
        std::ofstream(path) << "leak:libdbus-1.so\n";
        return path.string();
    }

    QProcess FServer;
    QString FDisplay;
};
