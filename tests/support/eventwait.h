#pragma once

#include <QEventLoop>
#include <QTest>
#include <QTimer>

#include <functional>

// Waits until done() holds, in a running event loop. QTest::qWaitFor sleeps between its rounds
// of events; the browser engine schedules its work through the event loop, so a wait that
// sleeps slows every page it waits for (a page load takes seconds instead of milliseconds).
inline bool waitUntil(const std::function<bool()>& done, int timeoutMs) {
    if (done())
        return true;
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(2);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    poll.start();
    loop.exec();
    return done();
}

// QTRY_VERIFY_WITH_TIMEOUT and QTRY_COMPARE_WITH_TIMEOUT, waiting in the event loop.
#define TRY_VERIFY(expr, timeoutMs)                                                                \
    QVERIFY2(waitUntil([&] { return bool(expr); }, timeoutMs), #expr)
#define TRY_COMPARE(actual, expected, timeoutMs)                                                   \
    do {                                                                                           \
        waitUntil([&] { return (actual) == (expected); }, timeoutMs);                              \
        QCOMPARE(actual, expected);                                                                \
    } while (false)
