#pragma once

#include "helpviewer.h"

#include <QList>

namespace help {

// Recording stand-in for tests: every call is kept, and the handles to answer come from a queue
// (then from `nextHandle`, which counts up). `reachable = false` plays a viewer that cannot be
// loaded at all.
class FakeHelpViewer : public HelpViewer {
public:
    struct Call {
        quintptr owner = 0;
        QString file;
        int command = -1;
        HelpData data;
    };

    QList<Call> calls;
    QList<quintptr> handles;
    quintptr nextHandle = 0x1000;
    bool reachable = true;
    QPoint cursor{120, 240};
    QList<quintptr> contextHelpWindows;
    QList<QPair<quintptr, int>> deletedMenuItems;

    std::optional<quintptr> htmlHelp(quintptr owner, const QString& file, int command,
                                     const HelpData& data) override {
        calls.append(Call{owner, file, command, data});
        if (!reachable)
            return std::nullopt;
        if (!handles.isEmpty())
            return handles.takeFirst();
        return nextHandle++;
    }
    QPoint cursorPos() const override { return cursor; }
    void enterContextHelp(quintptr window) override { contextHelpWindows.append(window); }
    bool deleteMenuItem(quintptr window, int command) override {
        deletedMenuItems.append({window, command});
        return true;
    }

    const Call& last() const { return calls.last(); }
};

} // namespace help
