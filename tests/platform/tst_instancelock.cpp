// The single-instance lock between real processes, and lock files nobody holds.
#include "platform/InstanceLock.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <cstdio>

namespace {
const QString kName = QStringLiteral("TarnwickStillbeck");
const char* const kHolderVariable = "STILLBECK_TEST_HOLD_LOCK_IN";

// Started as a child: takes the lock in the folder the variable names and keeps it until killed.
int holdLock() {
    InstanceLock lock(kName, qEnvironmentVariable(kHolderVariable));
    lock.create();
    std::printf(lock.held() ? "held\n" : "refused\n");
    std::fflush(stdout);
    for (;;)
        QThread::sleep(1);
}
} // namespace

class TestInstanceLock : public QObject {
    Q_OBJECT
private slots:
    void lockNobodyHoldsIsTakenOver_data();
    void lockNobodyHoldsIsTakenOver();
    void liveProcessBlocksUntilKilled();

private:
    // Starts this test program as a lock holder in folder; true once it reports the lock held.
    bool startHolder(QProcess& holder, const QString& folder);
};

void TestInstanceLock::lockNobodyHoldsIsTakenOver_data() {
    QTest::addColumn<QByteArray>("content");
    const QByteArray self = QByteArray::number(QCoreApplication::applicationPid());
    const QByteArray host = QSysInfo::machineHostName().toUtf8();
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("garbage") << QByteArray("\x01\xff\nnot a lock\n\0\0", 17);
    // Numbers from another machine say nothing about this one, even a live process id.
    QTest::newRow("foreign host") << self + "\nstillbeck\nsomewhere-else.example\n";
    QTest::newRow("dead process") << "2147483000\nstillbeck\n" + host + "\n";
}

void TestInstanceLock::lockNobodyHoldsIsTakenOver() {
    QFETCH(QByteArray, content);
    QTemporaryDir dir;
    InstanceLock lock(kName, dir.path());
    QFile file(lock.path());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();

    QVERIFY(!lock.anotherInstanceRunning());
    QVERIFY(lock.held());
}

bool TestInstanceLock::startHolder(QProcess& holder, const QString& folder) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QString::fromLatin1(kHolderVariable), folder);
    holder.setProcessEnvironment(env);
    holder.start(QCoreApplication::applicationFilePath(), {});
    if (!holder.waitForStarted(60000))
        return false;
    while (!holder.canReadLine())
        if (!holder.waitForReadyRead(60000))
            return false;
    return holder.readLine() == "held\n";
}

void TestInstanceLock::liveProcessBlocksUntilKilled() {
    QTemporaryDir dir;
    QProcess holder;
    QVERIFY(startHolder(holder, dir.path()));

    InstanceLock second(kName, dir.path());
    QVERIFY(second.anotherInstanceRunning());
    QVERIFY(!second.held());

    // SIGKILL: the holder leaves its lock file behind.
    holder.kill();
    QVERIFY(holder.waitForFinished(60000));
    QVERIFY(QFile::exists(second.path()));
    QVERIFY(!second.anotherInstanceRunning());
    QVERIFY(second.held());

    // And now this process is the live owner the next one must respect.
    QProcess third;
    third.setProcessChannelMode(QProcess::MergedChannels);
    QVERIFY(!startHolder(third, dir.path()));
    third.kill();
    third.waitForFinished(60000);
}

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    if (qEnvironmentVariableIsSet(kHolderVariable))
        return holdLock();
    TestInstanceLock test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_instancelock.moc"
