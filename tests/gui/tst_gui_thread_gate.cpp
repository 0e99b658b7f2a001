// Calls from worker threads into the window's thread: answered while the window's thread runs
// its event loop, released without an answer when the gate closes, refused afterwards.

#include "gui/gui_thread_gate.h"

#include <QTest>

#include <atomic>
#include <optional>
#include <thread>

namespace tavrik {

class GuiThreadGateTest : public QObject {
    Q_OBJECT

private slots:
    void aWorkerGetsTheAnswerFromTheWindowsThread();
    void closingReleasesAWaitingWorker();
    void aClosedGateRefusesAtOnce();
};

void GuiThreadGateTest::aWorkerGetsTheAnswerFromTheWindowsThread() {
    GuiThreadGate gate;
    std::atomic<bool> onWindowThread = false;
    std::optional<int> answer;
    std::thread worker([&] {
        answer = gate.Call<int>([&] {
            onWindowThread = QThread::currentThread() == gate.thread();
            return 42;
        });
    });
    QTRY_VERIFY(answer.has_value());
    worker.join();
    QCOMPARE(*answer, 42);
    QVERIFY(onWindowThread.load());
}

// The window's thread closes the gate without ever serving the call (as the exit sequence does
// before it stops the workers): the worker returns with no answer, and the call never runs.
void GuiThreadGateTest::closingReleasesAWaitingWorker() {
    GuiThreadGate gate;
    std::atomic<bool> returned = false;
    std::atomic<bool> ran = false;
    std::optional<bool> answer = true;
    std::thread worker([&] {
        answer = gate.Call<bool>([&] {
            ran = true;
            return true;
        });
        returned = true;
    });
    // Time for the worker to start waiting; closing before it does must end the same way.
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    gate.Close();
    worker.join();
    QVERIFY(returned.load());
    QVERIFY(!answer.has_value());
    QCoreApplication::processEvents(); // the queued call is dropped, not run
    QVERIFY(!ran.load());
}

void GuiThreadGateTest::aClosedGateRefusesAtOnce() {
    GuiThreadGate gate;
    gate.Close();
    bool ran = false;
    std::thread worker([&] { QVERIFY(!gate.Run([&] { ran = true; })); });
    worker.join();
    QVERIFY(!gate.Run([&] { ran = true; })); // on the gate's own thread too
    QCoreApplication::processEvents();
    QVERIFY(!ran);
}

} // namespace tavrik

QTEST_MAIN(tavrik::GuiThreadGateTest)
#include "tst_gui_thread_gate.moc"
