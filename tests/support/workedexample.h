#pragma once

#include "document.h"

#include <QByteArray>

// The documented example scroller and the exact bytes its script has.
inline ScrollerDocument workedExample() {
    ScrollerDocument d;
    d.scroller.sName = QStringLiteral("news");
    d.scroller.iDirn = 0;
    d.scroller.sWidth = QStringLiteral("200");
    d.scroller.sHeight = QStringLiteral("40");
    d.scroller.sSpacing = QStringLiteral("5");
    d.scroller.sDefWidth = QStringLiteral("120");
    d.scroller.sSpeed = QStringLiteral("50");
    d.scroller.sPause = QStringLiteral("2000");
    d.scroller.iMsePause = 0;
    clsItem a;
    a.sName = QStringLiteral("Item 1");
    a.sText = QStringLiteral("Hello <b>world</b>");
    clsItem b;
    b.sName = QStringLiteral("Item 2");
    b.sText = QStringLiteral("It\\'s new");
    b.sWidth = QStringLiteral("150");
    d.items = {a, b};
    return d;
}

inline QByteArray workedExampleBytes() {
    return QByteArrayLiteral(
        "news = new Tickora();\r\n"
        "news.name = 'news';\r\n"
        "news.type = 0;\r\n"
        "news.width = 200;\r\n"
        "news.height = 40;\r\n"
        "news.spacing = 5;\r\n"
        "news.itemwidth = 120;\r\n"
        "news.scrollspeed = 50;\r\n"
        "news.pausedelay = 2000;\r\n"
        "news.pausemouseover = true;\r\n"
        "news.add('Hello <b>world</b>', '', 'Item 1');\r\n"
        "news.add('It\\'s new', '150', 'Item 2');\r\n"
        "\r\n"
        "/* -- Replicate Items -- */\r\n"
        "news.add('Hello <b>world</b>', '', 'Item 1');\r\n"
        "news.add('It\\'s new', '150', 'Item 2');\r\n"
        "\r\n"
        "/* -- Replicate Items -- */\r\n"
        "news.display();\r\n"
        "window.addEventListener('load', function(){news.load();news.start();});\r\n"
        "window.addEventListener('resize', function(){news.load();});\r\n");
}
