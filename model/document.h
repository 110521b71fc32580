#pragma once

#include "clsitem.h"
#include "clsscroller.h"
#include "textencoding.h"

#include <QList>

// A document as plain data: the settings, the items in list order, and the encoding its file
// was read in (new documents are UTF-8).
struct ScrollerDocument {
    clsScroller scroller;
    QList<clsItem> items;
    TextEncoding encoding = TextEncoding::Utf8;
};
