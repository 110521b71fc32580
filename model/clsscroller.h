#pragma once

#include <QString>

// The settings of the document's one scroller, held as the fields show them: numbers as the
// text typed, direction and mouse-over pause as positions in their lists.
class clsScroller {
public:
    QString sName;
    QString sWidth;
    QString sHeight;
    QString sSpeed;
    qint16 iDirn = 0;     // 0 Top < Bottom, 1 Top > Bottom, 2 Left < Right, 3 Left > Right
    qint16 iMsePause = 0; // 0 Yes, 1 No
    QString sDefWidth;
    QString sSpacing;
    QString sPause;

    // The property block that opens every script, each line ending in CR LF.
    QString ToString() const;

    // Applies one script line to the setting it names, or does nothing. Returns false, with a
    // description for a person in *sError, when the line cannot be applied.
    bool SetProperty(QStringView sCode, QString* sError = nullptr);

    friend bool operator==(const clsScroller& a, const clsScroller& b) {
        return a.sName == b.sName && a.sWidth == b.sWidth && a.sHeight == b.sHeight &&
               a.sSpeed == b.sSpeed && a.iDirn == b.iDirn && a.iMsePause == b.iMsePause &&
               a.sDefWidth == b.sDefWidth && a.sSpacing == b.sSpacing && a.sPause == b.sPause;
    }
    friend bool operator!=(const clsScroller& a, const clsScroller& b) { return !(a == b); }
};

// The one direction rule: 2 and 3 run left and right; every other value, even one a hand-written
// script gives, runs up and down, as the runtime reads it.
inline bool isHorizontal(int iDirn) {
    return iDirn > 1;
}
