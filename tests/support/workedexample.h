#pragma once

#include "document.h"

#include <QByteArray>

// The documented example scroller and the exact bytes its script has.
inline ScrollerDocument workedExample() {
    ScrollerDocument d;
    // Name, width, height, speed, direction, mouse-over pause, item width, spacing, pause.
    d.scroller = {"news", "200", "40", "50", 0, 0, "120", "5", "2000"};
    d.items = {{"Item 1", "Hello <b>world</b>", ""}, {"Item 2", "It\\'s new", "150"}};
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
