#pragma once

#include "eventwait.h"

#include <QVariant>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <memory>

// The value of a script in the page, waiting for it in a running event loop.
inline QVariant pageValue(QWebEngineView* view, const QString& script, int timeoutMs = 10000) {
    auto result = std::make_shared<std::pair<bool, QVariant>>(false, QVariant());
    view->page()->runJavaScript(script, [result](const QVariant& v) {
        result->first = true;
        result->second = v;
    });
    waitUntil([&] { return result->first; }, timeoutMs);
    return result->second;
}

// Waits until a condition in the page holds, asking one question at a time.
inline bool pageHolds(QWebEngineView* view, const QString& condition, int timeoutMs) {
    return waitUntil([&] { return pageValue(view, condition, timeoutMs).toBool(); }, timeoutMs);
}
